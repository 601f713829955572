// The player's state on its own, without a window: each fact tells of a change once, and only
// of a change.
#include "player/PlaybackState.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

namespace
{

using Write = std::function<void(playback::State &)>;
using Signal = void (playback::State::*)();

} // namespace

Q_DECLARE_METATYPE(Write)

class tst_PlaybackState : public QObject
{
    Q_OBJECT

  private slots:
    void eachFactTellsOfItsOwnChange_data()
    {
        QTest::addColumn<Write>("write");
        QTest::addColumn<Write>("again"); // the same value once more
        QTest::addColumn<int>("signal");  // the index in kSignals

        const auto file = [](playback::State &s) { s.setFile(QStringLiteral("/c/a.avi")); };
        const auto playing = [](playback::State &s) { s.setPlaying(true); };
        const auto length = [](playback::State &s) { s.setLengthMs(60000); };
        const auto title = [](playback::State &s) { s.setTitle(QStringLiteral("Module 1")); };
        const auto speed = [](playback::State &s) { s.setSpeed(1500); };
        const auto seekable = [](playback::State &s) { s.setSeekable(true); };
        QTest::newRow("file") << Write(file) << Write(file) << 0;
        QTest::newRow("playing") << Write(playing) << Write(playing) << 1;
        QTest::newRow("length") << Write(length) << Write(length) << 2;
        QTest::newRow("title") << Write(title) << Write(title) << 3;
        QTest::newRow("speed") << Write(speed) << Write(speed) << 4;
        QTest::newRow("seekable") << Write(seekable) << Write(seekable) << 5;
    }

    void eachFactTellsOfItsOwnChange()
    {
        QFETCH(Write, write);
        QFETCH(Write, again);
        QFETCH(int, signal);
        playback::State state;
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (const Signal each : kSignals)
            spies.push_back(std::make_unique<QSignalSpy>(&state, each));

        write(state);
        again(state);
        for (std::size_t i = 0; i < spies.size(); ++i)
            QCOMPARE(spies[i]->count(), int(i) == signal ? 1 : 0);

        // Back to the start, the changed fact alone tells of it.
        state.reset();
        for (std::size_t i = 0; i < spies.size(); ++i)
            QCOMPARE(spies[i]->count(), int(i) == signal ? 2 : 0);
    }

    void resetIsTheStartingState()
    {
        playback::State state;
        state.setFile(QStringLiteral("/c/a.avi"));
        state.setPlaying(true);
        state.setLengthMs(60000);
        state.setTitle(QStringLiteral("Module 1"));
        state.setSpeed(2000);
        state.setSeekable(true);
        state.reset();
        const playback::State fresh;
        QCOMPARE(state.file(), fresh.file());
        QVERIFY(!state.loaded());
        QCOMPARE(state.playing(), fresh.playing());
        QCOMPARE(state.lengthMs(), fresh.lengthMs());
        QCOMPARE(state.title(), fresh.title());
        QCOMPARE(state.speed(), playback::State::kNormalSpeed);
        QCOMPARE(state.seekable(), fresh.seekable());
    }

  private:
    static constexpr Signal kSignals[] = {
        &playback::State::fileChanged,   &playback::State::playingChanged,
        &playback::State::lengthChanged, &playback::State::titleChanged,
        &playback::State::speedChanged,  &playback::State::seekableChanged,
    };
};

QTEST_GUILESS_MAIN(tst_PlaybackState)
#include "tst_PlaybackState.moc"
