#pragma once

#include "session/ScreenAwake.h"

#include <cstdint>
#include <string>

// One media device under one alias: turns each player action into a media command string and
// reads the replies. Device errors never raise: commands return the error text ("Success" when
// all went well), numeric queries return -1. Aliases are global to the process, so objects that
// live at the same time need different aliases.
class clsMCI
{
  public:
    clsMCI();

    // The file name exactly as it was last given to LoadedFilename.
    std::string mstrLongFileName;

    void AliasName(const std::string &pstrAlias);
    const std::string &AliasName() const { return mAlias; }

    // Selects the file and, from its extension, the device type. An empty name only clears the
    // name that the next open uses.
    void LoadedFilename(const std::string &pstrLoadedFile);
    const std::string &LoadedFilename() const { return mShortFileName; }
    // The device's file could not be read on while it played: the play failed, it did not end.
    bool ReadFailed();

    // The outcome of the last successful pause (true) or resume (false).
    bool Paused() const { return mPaused; }
    // The length in ms read right after the last open, -1 when it could not be read.
    std::int32_t TotalTime() const { return mTotalTime; }
    bool IsASF() const { return mIsASF; }

    // Opens the device as a child of the window `plngHwnd`; the answer is the outcome of setting
    // the time format, so a failed open shows up there.
    std::string OpenMultimedia(long long plngHwnd);
    // Positions in ms as text; an empty from means the start, a to of 0 the end. A to that is
    // no number raises pellin::Failure 13.
    std::string PlayMultimedia(std::string pstrFrom, std::string pstrTo);
    std::string CloseMultimedia();
    std::string PauseMultimedia();
    std::string StopMultimedia();
    std::string ResumeMultimedia();
    std::int32_t GetTotalTime();
    // Seeks and then always plays on, also from a pause.
    std::string MoveMultimedia(std::int32_t to_where);
    std::int32_t GetCurrentMultimediaPos();
    // Places the video window; a width or height of 0 fills the window `plngHwnd` instead, and
    // the size used is handed back in `width` and `height`.
    std::string PutMultimedia(long long plngHwnd, int left, int top, int &width, int &height);
    std::string PutMultimedia(long long plngHwnd, int left, int top, int &&width, int &&height);
    std::string PutFullScreen();
    // The rate of playback in thousandths of the normal rate (1000), the sound at its pitch;
    // it holds until the device closes.
    std::string SetSpeed(std::int32_t factor);
    // The width ("cx") or height ("cy") of the picture, either case; -1 for any other argument
    // or when the device cannot tell. A malformed reply raises pellin::Failure 13.
    std::int32_t GetSize(const std::string &pstrXorY);
    // Closes every device of the process, whatever its alias.
    std::string CloseAll();
    // Whether playback has reached `lastFrame` (0: the device's length, which is then handed
    // back in `lastFrame`).
    bool AreMultimediaAtEnd(std::int32_t &lastFrame);
    bool AreMultimediaAtEnd(std::int32_t &&lastFrame);
    // Records the default driver of a device type in the media section of system.ini.
    void SetDefaultDevice(const std::string &pstrDeviceType, const std::string &pstrDefDevice);

  private:
    std::string command(const std::string &text);
    std::int32_t numberQuery(const std::string &text);

    // The screen stays awake from a play until a pause, stop or close of this device.
    session::KeepAwake mAwake;
    std::string mAlias{"movie"};
    std::string mShortFileName;
    std::string mDeviceType;
    bool mPaused{};
    std::int32_t mTotalTime{};
    bool mIsASF{};
};
