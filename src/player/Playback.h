#pragma once

#include "failure/Failure.h"

#include <QString>

#include <cstdint>

// Playback's one home: the steps that load the video, move it between the picture areas and show
// the transport's state. Every handler that plays a video calls these in its own order of steps.
// The look procedures write the main toolbar and, while full screen is on and the tools bar is
// loaded, the same buttons of the tools bar; a bar the student closed is not loaded again for it.
namespace playback
{

inline const QString kPauseVideo = QStringLiteral("Pause video");
inline const QString kPlayVideo = QStringLiteral("Play video");

// The process as it starts, for tests: the shared module's state (modGlobals::ResetState) and
// the player's state.
void ResetState();

// Stops and closes what the controller has open, then opens `file` under the alias "movie" with
// the picture area `picture` (a window handle) as the video's parent window, at the session's
// speed.
void OpenVideo(const QString &file, long long picture);

// The first status panel names what plays: the entry's title, or the path of a file opened
// alone.
void ShowTitle(const QString &title);

// Fits the opened video to the picture area `picture`.
void FitVideo(long long picture);

// Moves the loaded video into the picture area `picture` and plays on from `position`: the
// device is closed, opened again under the new parent, fitted and sought, which also plays.
void MoveVideo(long long picture, std::int32_t position);

// The session's playback speed in thousandths of the normal rate: the loaded video changes to it
// at once, and every video opened or moved later plays at it.
void SetSpeed(int factor);

// The play button offers to pause: image "pause" and the tooltip (normally "Pause video").
void ShowPlayingLook(const QString &toolTip = kPauseVideo);
// The play button offers to play: image "play", tooltip "Play video".
void ShowPausedLook();

enum class Mirror { ToolsBar, MainOnly };
// Only the play button's image becomes "pause", for actions that resume a paused video while the
// tooltip stays as it was.
void ShowPlayingImage(Mirror mirror = Mirror::ToolsBar);

// Enables or disables "stop", "rewind" and "forward".
void EnableTransport(bool enabled);

// The displays of a video that has just started from its start: the playing look, the slider
// enabled with the video's length as its maximum, the position timer on, the transport enabled.
void ShowPlayingState(const QString &toolTip = kPauseVideo);

// Nothing loaded, as "stop" leaves the player once the device is stopped: no file selected, the
// playlist shown so that the student can pick the next video, the play button offering to play,
// the transport and the slider disabled, the position display reset and its timer off.
void ReturnToNothingLoaded();

// After a video could not be opened or started: whatever part of it the device holds is
// stopped and the player returns to nothing loaded, ready for the next video.
void AbandonVideo();

// A video that could not be opened: the player returns to nothing loaded first, so that neither
// the look nor the desktop's media controls say it plays while the box is up; then one box names
// the file. With `explainNoLength`, the 380 of a video without a length says what it means to
// the student: the file is missing, or it is there but cannot be played.
void AbandonUnopenedVideo(const pellin::Failure &failure, bool explainNoLength);

// The playing video's file could not be read on: the player returns to nothing loaded and says
// once which file it was.
void AbandonUnreadableVideo();

} // namespace playback
