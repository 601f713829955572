#include "mci/SimulatedMedia.h"
#include "media/clsMCI.h"
#include "support/Clips.h"
#include "support/MediaRecorder.h"
#include "toolkit/WindowHandles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <clocale>

// The controller against the real command interpreter: scripted media for the device rules,
// libmpv for a real clip whose name needs quoting and case-insensitive lookup; and the
// controller placing its picture in a real window.
class tst_clsMCIOnEngine : public QObject
{
    Q_OBJECT

  private:
    QWidget picture;

  private slots:
    void initTestCase()
    {
        std::setlocale(LC_NUMERIC, "C");
        qputenv("PELLIN_AUDIO_OUTPUT", "null");
        picture.resize(320, 240);
        picture.show();
    }

    void playsToTheEndOnScriptedMedia()
    {
        mci::SimulatedMedia media;
        media.addFile(QStringLiteral("/course/lesson.avi"), 90000);
        mci::useSimulatedEngine(media);
        clsMCI mci;
        mci.LoadedFilename("/course/lesson.avi");
        QCOMPARE(mci.OpenMultimedia(toolkit::handleOf(&picture)), std::string("Success"));
        QCOMPARE(mci.TotalTime(), 90000);
        QCOMPARE(mci.PlayMultimedia("0", "0"), std::string("Success"));
        media.advance(89999);
        QVERIFY(!mci.AreMultimediaAtEnd(0));
        media.advance(5000);
        std::int32_t end = 0;
        QVERIFY(mci.AreMultimediaAtEnd(end));
        QCOMPARE(end, 90000);
        QCOMPARE(mci.CloseMultimedia(), std::string("Success"));
        QVERIFY(mci.CloseMultimedia() != "Success");
        mci::useLibmpvEngine();
    }

    void closeAllClosesTheOtherAliasToo()
    {
        mci::SimulatedMedia media;
        media.addFile(QStringLiteral("/course/a.avi"), 5000);
        media.addFile(QStringLiteral("/course/b.mpg"), 7000);
        mci::useSimulatedEngine(media);
        clsMCI main;
        main.LoadedFilename("/course/a.avi");
        clsMCI probe;
        probe.AliasName("movie2");
        probe.LoadedFilename("/course/b.mpg");
        QCOMPARE(main.OpenMultimedia(toolkit::handleOf(&picture)), std::string("Success"));
        QCOMPARE(probe.OpenMultimedia(toolkit::handleOf(&picture)), std::string("Success"));
        QCOMPARE(media.openDevices(), 2);
        QCOMPARE(main.CloseAll(), std::string("Success"));
        QCOMPARE(media.openDevices(), 0);
        QCOMPARE(probe.GetTotalTime(), -1);
        mci::useLibmpvEngine();
    }

    void opensARealClipWithBlanksInItsName()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Video Clips")));
        const QString clip = dir.path() + "/Video Clips/Lesson One.AVI";
        QString failure;
        QVERIFY2(clips::makeAt(clip, clips::format("avi-mpeg4-mp3"), {.sound = false}, &failure),
                 qPrintable(failure));

        clsMCI mci;
        mci.LoadedFilename((dir.path() + "/video clips/lesson one.avi").toStdString());
        QCOMPARE(mci.OpenMultimedia(toolkit::handleOf(&picture)), std::string("Success"));
        QVERIFY2(mci.TotalTime() > 3900 && mci.TotalTime() < 4100,
                 qPrintable(QString::number(mci.TotalTime())));
        QCOMPARE(mci.PlayMultimedia("0", "1000"), std::string("Success"));
        QCOMPARE(mci.CloseMultimedia(), std::string("Success"));
    }

    void missingFileFailsAtTheTimeFormat()
    {
        clsMCI mci;
        mci.LoadedFilename("/no/such/folder/clip.avi");
        QCOMPARE(qs(mci.LoadedFilename()), QStringLiteral("/no/such/folder/clip.avi"));
        const std::string outcome = mci.OpenMultimedia(toolkit::handleOf(&picture));
        QVERIFY(outcome != "Success");
        QVERIFY(!outcome.empty());
        QCOMPARE(mci.TotalTime(), -1);
    }

    void putWithZeroSizeFillsTheWindow_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("both zero") << 0 << 0;
        QTest::newRow("width zero") << 0 << 100;
        QTest::newRow("height zero") << 100 << 0;
    }
    void putWithZeroSizeFillsTheWindow()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QWidget window;
        window.setGeometry(100, 50, 640, 480);
        QWidget area(&window);
        area.setGeometry(10, 20, 320, 240);
        support::MediaRecorder recorder;
        clsMCI mci;
        mci.PutMultimedia(toolkit::handleOf(&area), 0, 0, width, height);
        QCOMPARE(recorder.commands(), QStringList({"put movie window at 0 0 318 236"}));
        QCOMPARE(width, 318);
        QCOMPARE(height, 236);
    }

  private:
    static QString qs(const std::string &text) { return QString::fromStdString(text); }
};

QTEST_MAIN(tst_clsMCIOnEngine)
#include "tst_clsMCIOnEngine.moc"
