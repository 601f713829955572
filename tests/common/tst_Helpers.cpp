#include "common/Helpers.h"

#include <QTest>

using namespace modGlobals;

class HelpersTest : public QObject
{
    Q_OBJECT

  private slots:
    void getMediaRoot_data();
    void getMediaRoot();
    void addBackslash_data();
    void addBackslash();
    void trimNull_data();
    void trimNull();
    void formatTime_data();
    void formatTime();
};

void HelpersTest::getMediaRoot_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("root");
    QTest::newRow("bin below the root") << "/media/cd/bin"
                                        << "/media/cd";
    QTest::newRow("upper-case bin, lower-cased root") << "/Media/CD/BIN"
                                                      << "/media/cd";
    QTest::newRow("folder below bin") << "/E/Course/BIN/Player"
                                      << "/e/course";
    QTest::newRow("bin at the file system root") << "/bin"
                                                 << "";
    QTest::newRow("no bin folder") << "/opt/tools"
                                   << "";
    QTest::newRow("first match wins") << "/srv/binaries/bin"
                                      << "/srv";
    QTest::newRow("bin without a separator before it") << "cdbin/player"
                                                       << "";
    QTest::newRow("trailing separator") << "/media/cd/bin/"
                                        << "/media/cd";
    QTest::newRow("empty") << ""
                           << "";
}

void HelpersTest::getMediaRoot()
{
    QFETCH(QString, path);
    QFETCH(QString, root);
    QCOMPARE(GetMediaRoot(path), root);
}

void HelpersTest::addBackslash_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("result");
    QTest::newRow("already ends in a separator") << "/tmp/"
                                                 << "/tmp/";
    QTest::newRow("separator appended") << "/tmp"
                                        << "/tmp/";
    QTest::newRow("empty") << ""
                           << "/";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("a backslash is no separator here") << "dir\\"
                                                      << "dir\\/";
}

void HelpersTest::addBackslash()
{
    QFETCH(QString, path);
    QFETCH(QString, result);
    QCOMPARE(AddBackslash(path), result);
}

void HelpersTest::trimNull_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("filled buffer") << QStringLiteral("abc") + QString(252, QChar(u'\0')) << "abc";
    QTest::newRow("no NUL") << "abc"
                            << "abc";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("NUL first") << QString::fromUtf16(u"\0abc", 4) << "";
    QTest::newRow("cut at the first NUL") << QString::fromUtf16(u"a\0b\0", 4) << "a";
}

void HelpersTest::trimNull()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(TrimNull(text), result);
}

void HelpersTest::formatTime_data()
{
    QTest::addColumn<qint64>("time");
    QTest::addColumn<bool>("inMilliseconds");
    QTest::addColumn<QString>("text");
    const auto ms = [](const char *name, qint64 time, const char *text) {
        QTest::newRow(name) << time << true << QString::fromLatin1(text);
    };
    ms("zero", 0, "0:00");
    ms("below a half", 9499, "0:09");
    ms("half to even up", 9500, "0:10");
    ms("half to even down", 10500, "0:10");
    ms("1500 to 2", 1500, "0:02");
    ms("2500 to 2", 2500, "0:02");
    ms("2501 to 3", 2501, "0:03");
    ms("500 to 0", 500, "0:00");
    ms("just under a minute", 59999, "1:00");
    ms("59.5 s to even 60", 59500, "1:00");
    ms("one minute", 60000, "1:00");
    ms("61 s", 61000, "1:01");
    ms("65 s", 65000, "1:05");
    ms("ten minutes", 600000, "10:00");
    ms("no hour field", 3725000, "62:05");
    ms("two hours", 7200000, "120:00");
    ms("unknown length", -1, "0:00");
    ms("negative", -2000, "0:00");
    QTest::newRow("seconds below ten") << qint64(5) << false << "0:05";
    QTest::newRow("seconds below a minute") << qint64(45) << false << "0:45";
    QTest::newRow("seconds above a minute") << qint64(65) << false << "1:05";
}

void HelpersTest::formatTime()
{
    QFETCH(qint64, time);
    QFETCH(bool, inMilliseconds);
    QFETCH(QString, text);
    QCOMPARE(FormatTime(time, inMilliseconds), text);
}

QTEST_GUILESS_MAIN(HelpersTest)
#include "tst_Helpers.moc"
