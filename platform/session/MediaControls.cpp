#include "session/MediaControls.h"

#include <QDBusObjectPath>
#include <QUrl>

namespace session
{

namespace
{

const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
const QString kTrackPrefix = QStringLiteral("/com/vorlund/PellinPlayer/Track/");

} // namespace

void MediaControls::setState(const PlayerState &state)
{
    if (state == mState)
        return;
    const QVariantMap before = properties();
    if (state.loaded && (!mState.loaded || state.file != mState.file))
        ++mTrack;
    mState = state;
    QVariantMap changed;
    const QVariantMap after = properties();
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (before.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    if (!changed.isEmpty())
        emit propertiesChanged(changed);
}

QString MediaControls::playbackStatus() const
{
    if (!mState.loaded)
        return QStringLiteral("Stopped");
    return mState.playing ? QStringLiteral("Playing") : QStringLiteral("Paused");
}

QString MediaControls::trackId() const
{
    return mState.loaded ? kTrackPrefix + QString::number(mTrack) : kNoTrack;
}

QVariantMap MediaControls::metadata() const
{
    QVariantMap data{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId()))}};
    if (!mState.loaded)
        return data;
    data.insert(QStringLiteral("xesam:title"), mState.title);
    data.insert(QStringLiteral("xesam:url"),
                QUrl::fromLocalFile(mState.file).toString(QUrl::FullyEncoded));
    if (mState.lengthMs > 0)
        data.insert(QStringLiteral("mpris:length"), qlonglong(mState.lengthMs) * 1000);
    return data;
}

QVariantMap MediaControls::properties() const
{
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Rate"), mState.rate},
        {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), canPause()},
        {QStringLiteral("CanSeek"), canSeek()},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
    };
}

void MediaControls::reset()
{
    mState = {};
}

MediaControls &mediaControls()
{
    static MediaControls controls;
    return controls;
}

} // namespace session
