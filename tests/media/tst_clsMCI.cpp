#include "failure/Failure.h"
#include "media/clsMCI.h"
#include "support/MediaRecorder.h"
#include "system/SystemFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using support::MediaRecorder;

namespace
{

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

const std::string OpenTail = " Alias movie parent 4242 Style 1073741824";

} // namespace

class tst_clsMCI : public QObject
{
    Q_OBJECT

  private:
    std::optional<MediaRecorder> recorder;

    QStringList commands() const { return recorder->commands(); }

  private slots:
    void init() { recorder.emplace(); }
    void cleanup() { recorder.reset(); }

    void startsUnloadedUnderMovie()
    {
        const clsMCI mci;
        QCOMPARE(qs(mci.AliasName()), QStringLiteral("movie"));
        QCOMPARE(qs(mci.LoadedFilename()), QString());
        QCOMPARE(qs(mci.mstrLongFileName), QString());
        QVERIFY(!mci.Paused());
        QCOMPARE(mci.TotalTime(), 0);
        QVERIFY(!mci.IsASF());
    }

    void deviceTypeFollowsExtension_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("typeClause");
        QTest::addColumn<bool>("asf");
        QTest::newRow("avi") << ""
                             << "/no/such/a.avi"
                             << " type AviVideo" << false;
        QTest::newRow("mpg upper case") << ""
                                        << "/no/such/A.MPG"
                                        << " type MPEGVideo" << false;
        QTest::newRow("mpeg") << ""
                              << "/no/such/b.mpeg"
                              << " type MPEGVideo" << false;
        QTest::newRow("asf") << ""
                             << "/no/such/intro.asf"
                             << " type MPEGVideo" << true;
        QTest::newRow("wmv after avi keeps AviVideo") << "/no/such/a.avi"
                                                      << "/no/such/b.wmv"
                                                      << " type AviVideo" << false;
        QTest::newRow("wmv after asf clears IsASF") << "/no/such/i.asf"
                                                    << "/no/such/b.wmv"
                                                    << " type MPEGVideo" << false;
        QTest::newRow("unknown first: engine chooses") << ""
                                                       << "/no/such/b.wmv"
                                                       << "" << false;
        QTest::newRow("no extension") << ""
                                      << "/no/such/clip"
                                      << "" << false;
        QTest::newRow("dot in folder only") << "/no/such/a.avi"
                                            << "/no/such.d/clip"
                                            << " type AviVideo" << false;
    }
    void deviceTypeFollowsExtension()
    {
        QFETCH(QString, previous);
        QFETCH(QString, file);
        QFETCH(QString, typeClause);
        QFETCH(bool, asf);
        clsMCI mci;
        if (!previous.isEmpty())
            mci.LoadedFilename(previous.toStdString());
        mci.LoadedFilename(file.toStdString());
        QCOMPARE(mci.IsASF(), asf);
        QCOMPARE(qs(mci.LoadedFilename()), file);
        QCOMPARE(qs(mci.mstrLongFileName), file);

        mci.OpenMultimedia(4242);
        QCOMPARE(commands().first(), "open " + file + typeClause + qs(OpenTail));
    }

    void emptyNameKeepsEverythingButTheOpenName()
    {
        clsMCI mci;
        mci.LoadedFilename("/no/such/intro.asf");
        mci.LoadedFilename("");
        QCOMPARE(qs(mci.LoadedFilename()), QString());
        QCOMPARE(qs(mci.mstrLongFileName), QStringLiteral("/no/such/intro.asf"));
        QVERIFY(mci.IsASF());
        mci.OpenMultimedia(4242);
        QCOMPARE(commands().first(), "open  type MPEGVideo" + qs(OpenTail));
    }

    void openSendsOpenTimeFormatAndLength()
    {
        recorder->answers["status movie length"] = {0, "90000"};
        clsMCI mci;
        mci.LoadedFilename("/no/such/a.avi");
        QCOMPARE(qs(mci.OpenMultimedia(4242)), QStringLiteral("Success"));
        QCOMPARE(commands(), QStringList({"open /no/such/a.avi type AviVideo" + qs(OpenTail),
                                          "set movie time format ms", "status movie length"}));
        QCOMPARE(recorder->sent[0].replySize, 0);
        QCOMPARE(recorder->sent[1].replySize, 0);
        QCOMPARE(recorder->sent[2].replySize, 128);
        // The open command is laid out in its fixed width; the padding is blanks only.
        QCOMPARE(recorder->sent[0].command.size(), std::size_t(255));
        QCOMPARE(mci.TotalTime(), 90000);
    }

    void failedOpenShowsAsTimeFormatFailure()
    {
        recorder->answers["open /no/such/a.avi type AviVideo" + OpenTail] = {275, ""};
        recorder->answers["set movie time format ms"] = {263, ""};
        recorder->answers["status movie length"] = {263, ""};
        clsMCI mci;
        mci.LoadedFilename("/no/such/a.avi");
        QCOMPARE(qs(mci.OpenMultimedia(4242)), QStringLiteral("error 263"));
        QCOMPARE(mci.TotalTime(), -1);
    }

    void fileNamesReachTheCommandWhole_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("element");
        QTest::newRow("blanks are quoted") << "/no/Video Clips/intro.asf"
                                           << "\"/no/Video Clips/intro.asf\"";
        QTest::newRow("leading blanks trimmed") << "  /no/such/a.avi"
                                                << "/no/such/a.avi";
        QTest::newRow("quote inside doubled") << "/no/say \"hi\".avi"
                                              << "\"/no/say \"\"hi\"\".avi\"";
        const QString longName = "/no/" + QString(300, u'a') + " b.avi";
        QTest::newRow("longer than the fixed width") << longName << "\"" + longName + "\"";
    }
    void fileNamesReachTheCommandWhole()
    {
        QFETCH(QString, file);
        QFETCH(QString, element);
        clsMCI mci;
        mci.LoadedFilename(file.toStdString());
        mci.OpenMultimedia(4242);
        const QString open = commands().first();
        QVERIFY2(open.startsWith("open " + element + " type "), qPrintable(open));
        QVERIFY(open.endsWith(qs(OpenTail)));
    }

    void openFindsTheFileIgnoringCase()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Course/Videos")));
        const QString real = dir.path() + "/Course/Videos/Lesson One.AVI";
        QVERIFY(QFile(real).open(QIODevice::WriteOnly));
        const QString asWritten = dir.path() + "/course/videos/lesson one.avi";
        clsMCI mci;
        mci.LoadedFilename(asWritten.toStdString());
        QCOMPARE(qs(mci.LoadedFilename()), asWritten);
        mci.OpenMultimedia(4242);
        QCOMPARE(commands().first(), "open \"" + real + "\" type AviVideo" + qs(OpenTail));
    }

    void playComposesFromAndTo_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("whole video")
            << "0"
            << "0" << QStringList{"status movie length", "play movie from 0 to 90000"};
        QTest::newRow("empty from")
            << ""
            << "0" << QStringList{"status movie length", "play movie from 0 to 90000"};
        QTest::newRow("zero written as decimal")
            << "100"
            << " 0.0 " << QStringList{"status movie length", "play movie from 100 to 90000"};
        QTest::newRow("range") << "1000"
                               << "5000" << QStringList{"play movie from 1000 to 5000"};
    }
    void playComposesFromAndTo()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, expected);
        recorder->answers["status movie length"] = {0, "90000"};
        clsMCI mci;
        QCOMPARE(qs(mci.PlayMultimedia(from.toStdString(), to.toStdString())),
                 QStringLiteral("Success"));
        QCOMPARE(commands(), expected);
        QCOMPARE(recorder->sent.back().replySize, 0);
    }

    void playWithNonNumericToFails_data()
    {
        QTest::addColumn<QString>("to");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("trailing letters") << "5x";
    }
    void playWithNonNumericToFails()
    {
        QFETCH(QString, to);
        clsMCI mci;
        try {
            mci.PlayMultimedia("0", to.toStdString());
            QFAIL("no failure raised");
        } catch (const pellin::Failure &failure) {
            QCOMPARE(failure.number(), 13);
            QCOMPARE(qs(failure.description()), QStringLiteral("Type mismatch"));
        }
        QVERIFY(recorder->sent.empty());
    }

    void simpleCommands_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("command");
        QTest::newRow("close") << "close"
                               << "Close movie2";
        QTest::newRow("pause") << "pause"
                               << "Pause movie2";
        QTest::newRow("stop") << "stop"
                              << "Stop movie2";
        QTest::newRow("resume") << "resume"
                                << "Resume movie2";
        QTest::newRow("full screen") << "full"
                                     << "play movie2 fullscreen";
        QTest::newRow("close all") << "all"
                                   << "Close All";
    }
    void simpleCommands()
    {
        QFETCH(QString, operation);
        QFETCH(QString, command);
        clsMCI mci;
        mci.AliasName("movie2");
        const auto run = [&] {
            if (operation == "close")
                return mci.CloseMultimedia();
            if (operation == "pause")
                return mci.PauseMultimedia();
            if (operation == "stop")
                return mci.StopMultimedia();
            if (operation == "resume")
                return mci.ResumeMultimedia();
            if (operation == "full")
                return mci.PutFullScreen();
            return mci.CloseAll();
        };
        QCOMPARE(qs(run()), QStringLiteral("Success"));
        recorder->answers[command.toStdString()] = {282, ""};
        QCOMPARE(qs(run()), QStringLiteral("error 282"));
        QCOMPARE(commands(), QStringList({command, command}));
        QCOMPARE(recorder->sent.front().replySize, 0);
    }

    void errorTextFitsTheReplyBuffer()
    {
        recorder->answers["Stop movie"] = {MediaRecorder::LongTextCode, ""};
        clsMCI mci;
        QCOMPARE(mci.StopMultimedia(), std::string(127, 'x'));
    }

    void pausedRecordsOnlySuccessfulPauseAndResume()
    {
        clsMCI mci;
        recorder->answers["Pause movie"] = {263, ""};
        mci.PauseMultimedia();
        QVERIFY(!mci.Paused());
        recorder->answers.clear();
        mci.PauseMultimedia();
        QVERIFY(mci.Paused());
        mci.StopMultimedia();
        mci.MoveMultimedia(100);
        mci.PlayMultimedia("0", "10");
        mci.CloseMultimedia();
        mci.OpenMultimedia(4242);
        QVERIFY(mci.Paused());
        recorder->answers["Resume movie"] = {263, ""};
        mci.ResumeMultimedia();
        QVERIFY(mci.Paused());
        recorder->answers.clear();
        mci.ResumeMultimedia();
        QVERIFY(!mci.Paused());
    }

    void moveSeeksThenAlwaysPlays()
    {
        clsMCI mci;
        recorder->answers["Play movie"] = {263, ""};
        QCOMPARE(qs(mci.MoveMultimedia(1500)), QStringLiteral("Success"));
        recorder->answers["seek movie to -5"] = {282, ""};
        QCOMPARE(qs(mci.MoveMultimedia(-5)), QStringLiteral("error 282"));
        QCOMPARE(commands(), QStringList({"seek movie to 1500", "Play movie", "seek movie to -5",
                                          "Play movie"}));
    }

    void numericQueries_data()
    {
        QTest::addColumn<uint>("code");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << 0u << "4049" << 4049;
        QTest::newRow("leading number") << 0u << "123 ms" << 123;
        QTest::newRow("blank first") << 0u << " 77" << 77;
        QTest::newRow("no digits") << 0u << "" << 0;
        QTest::newRow("too large") << 0u << "99999999999" << -1;
        QTest::newRow("device error") << 263u << "4049" << -1;
    }
    void numericQueries()
    {
        QFETCH(uint, code);
        QFETCH(QString, reply);
        QFETCH(int, expected);
        recorder->answers["status movie length"] = {code, reply.toStdString()};
        recorder->answers["status movie position"] = {code, reply.toStdString()};
        clsMCI mci;
        QCOMPARE(mci.GetTotalTime(), expected);
        QCOMPARE(mci.GetCurrentMultimediaPos(), expected);
        QCOMPARE(commands(), QStringList({"status movie length", "status movie position"}));
        QCOMPARE(recorder->sent[0].replySize, 128);
        QCOMPARE(recorder->sent[1].replySize, 128);
    }

    void putWithSizeSendsIt()
    {
        clsMCI mci;
        int width = 320;
        int height = 240;
        mci.PutMultimedia(0, 0, 0, width, height);
        mci.PutMultimedia(0, 5, 7, 10, 20);
        QCOMPARE(commands(),
                 QStringList({"put movie window at 0 0 320 240", "put movie window at 5 7 10 20"}));
        QCOMPARE(width, 320);
        QCOMPARE(height, 240);
    }

    void getSize_data()
    {
        QTest::addColumn<QString>("axis");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("sent");
        QTest::newRow("cx") << "cx" << 352 << true;
        QTest::newRow("CX") << "CX" << 352 << true;
        QTest::newRow("cy") << "cy" << 240 << true;
        QTest::newRow("Cy") << "Cy" << 240 << true;
        QTest::newRow("other") << "cz" << -1 << false;
        QTest::newRow("empty") << "" << -1 << false;
    }
    void getSize()
    {
        QFETCH(QString, axis);
        QFETCH(int, expected);
        QFETCH(bool, sent);
        recorder->answers["Where movie destination"] = {0, "0 0 352 240"};
        clsMCI mci;
        QCOMPARE(mci.GetSize(axis.toStdString()), expected);
        QCOMPARE(commands(), sent ? QStringList{"Where movie destination"} : QStringList());
        if (sent)
            QCOMPARE(recorder->sent.front().replySize, 128);
    }

    void getSizeOfFailingDevice()
    {
        recorder->answers["Where movie destination"] = {263, "0 0 352 240"};
        clsMCI mci;
        QCOMPARE(mci.GetSize("cx"), -1);
    }

    void getSizeOfMalformedReplyFails_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::newRow("three numbers") << "0 0 352";
        QTest::newRow("empty") << "";
        QTest::newRow("not numbers") << "a b c d";
    }
    void getSizeOfMalformedReplyFails()
    {
        QFETCH(QString, reply);
        recorder->answers["Where movie destination"] = {0, reply.toStdString()};
        clsMCI mci;
        QVERIFY_THROWS_EXCEPTION(pellin::Failure, mci.GetSize("cx"));
        QVERIFY_THROWS_EXCEPTION(pellin::Failure, mci.GetSize("cy"));
    }

    void endTest_data()
    {
        QTest::addColumn<int>("lastFrame");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("position");
        QTest::addColumn<bool>("atEnd");
        QTest::addColumn<int>("lastFrameAfter");
        QTest::newRow("before the end") << 0 << "90000"
                                        << "89999" << false << 90000;
        QTest::newRow("at the end") << 0 << "90000"
                                    << "90000" << true << 90000;
        QTest::newRow("past the end") << 0 << "90000"
                                      << "95000" << true << 90000;
        QTest::newRow("length unknown") << 0 << "fail"
                                        << "90000" << false << -1;
        QTest::newRow("position unknown") << 0 << "90000"
                                          << "fail" << false << 90000;
        QTest::newRow("given end") << 5000 << "90000"
                                   << "5000" << true << 5000;
        QTest::newRow("given end unknown") << -1 << "90000"
                                           << "5000" << false << -1;
    }
    void endTest()
    {
        QFETCH(int, lastFrame);
        QFETCH(QString, length);
        QFETCH(QString, position);
        QFETCH(bool, atEnd);
        QFETCH(int, lastFrameAfter);
        const auto answer = [](const QString &text) {
            return text == "fail" ? MediaRecorder::Answer{263, ""}
                                  : MediaRecorder::Answer{0, text.toStdString()};
        };
        recorder->answers["status movie length"] = answer(length);
        recorder->answers["status movie position"] = answer(position);
        clsMCI mci;
        std::int32_t frame = lastFrame;
        QCOMPARE(mci.AreMultimediaAtEnd(frame), atEnd);
        QCOMPARE(frame, lastFrameAfter);
        QCOMPARE(commands().contains("status movie length"), lastFrame == 0);
        QCOMPARE(commands().last(), QStringLiteral("status movie position"));
    }

    void defaultDeviceGoesIntoSystemIni()
    {
        QTemporaryDir windows;
        sys::setWindowsFolder(windows.path().toStdString());
        QFile ini(windows.filePath(QStringLiteral("system.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[boot]\nshell=explorer\n[MCI]\nAviVideo=old.drv\n");
        ini.close();

        clsMCI mci;
        mci.SetDefaultDevice("avivideo", "mciavi.drv");
        mci.SetDefaultDevice("MPEGVideo", "mciqtz.drv");
        sys::setWindowsFolder({});

        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[boot]\nshell=explorer\n[MCI]\navivideo=mciavi.drv\n"
                                           "MPEGVideo=mciqtz.drv\n"));
        QVERIFY(recorder->sent.empty());
    }

    void closeAllIsNotBoundToTheAlias()
    {
        clsMCI main;
        clsMCI probe;
        probe.AliasName("movie2");
        probe.LoadedFilename("/no/such/a.avi");
        probe.OpenMultimedia(0);
        main.CloseAll();
        QCOMPARE(commands().last(), QStringLiteral("Close All"));
        QVERIFY(commands().first().contains(" Alias movie2 "));
    }
};

QTEST_GUILESS_MAIN(tst_clsMCI)
#include "tst_clsMCI.moc"
