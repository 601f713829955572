// Hostile input: whatever arrives, the layer answers with a code and a text, never a crash
// or a hang.
#include "Send.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "support/Clips.h"
#include "toolkit/WindowHandles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class BadInputTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();

    void randomCommands();
    void awkwardCommands_data();
    void awkwardCommands();
    void awkwardFileNames_data();
    void awkwardFileNames();
    void brokenMedia_data();
    void brokenMedia();

  private:
    static void checkAnswered(const Sent &sent, const QByteArray &what);

    QTemporaryDir mDir;
    QString mClip;
};

void BadInputTest::initTestCase()
{
    QVERIFY(mDir.isValid());
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();
    QString failure;
    mClip = clips::make(mDir.path(), clips::formats().at(1), {QSize(160, 120), 2}, &failure);
    QVERIFY2(!mClip.isEmpty(), qPrintable(failure));
}

void BadInputTest::cleanup()
{
    send("close all");
}

void BadInputTest::checkAnswered(const Sent &sent, const QByteArray &what)
{
    if (sent.code != 0)
        QVERIFY2(!mci::transport().errorText(sent.code).empty(), what.constData());
}

void BadInputTest::randomCommands()
{
    mci::SimulatedMedia media;
    media.addFile(QStringLiteral("/sim/a.avi"), 5000);
    mci::useSimulatedEngine(media);
    QWidget parent;
    const QByteArray handle = QByteArray::number(toolkit::handleOf(&parent));
    const QList<QByteArray> words{"open",
                                  "close",
                                  "play",
                                  "pause",
                                  "resume",
                                  "stop",
                                  "seek",
                                  "set",
                                  "status",
                                  "put",
                                  "where",
                                  "all",
                                  "m",
                                  "M",
                                  "/sim/a.avi",
                                  "\"/sim/a.avi\"",
                                  "alias",
                                  "type",
                                  "avivideo",
                                  "mpegvideo",
                                  "parent",
                                  handle,
                                  "style",
                                  "child",
                                  "from",
                                  "to",
                                  "start",
                                  "end",
                                  "time",
                                  "format",
                                  "ms",
                                  "frames",
                                  "length",
                                  "position",
                                  "mode",
                                  "window",
                                  "destination",
                                  "source",
                                  "at",
                                  "0",
                                  "-1",
                                  "4294967296",
                                  "1:2:3",
                                  "\"",
                                  "\"\"",
                                  "notify",
                                  "wait",
                                  "test",
                                  "99999999999999999999",
                                  "\t",
                                  "  ",
                                  ";",
                                  "\n",
                                  "\xff\xfe",
                                  std::string(1, '\0').c_str()};
    QRandomGenerator random(20240611);
    send("open /sim/a.avi alias m parent " + QString::fromLatin1(handle));
    for (int i = 0; i < 5000; ++i) {
        QByteArray command;
        const int count = random.bounded(1, 9);
        for (int w = 0; w < count; ++w) {
            if (random.bounded(10) == 0) {
                for (int b = random.bounded(1, 6); b > 0; --b)
                    command += static_cast<char>(random.bounded(256));
            } else {
                command += words.at(random.bounded(words.size()));
            }
            command += ' ';
        }
        const Sent sent = sendBytes(command.toStdString(), random.bounded(-1, 130));
        checkAnswered(sent, command.toPercentEncoding());
        if (random.bounded(8) == 0)
            media.advance(random.bounded(1000));
    }
    // Still a working device afterwards (or a clean refusal when the noise closed it).
    const Sent sent = send("status m mode");
    QVERIFY(sent.code == 0 || sent.code == 263);
}

void BadInputTest::awkwardCommands_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<unsigned>("code");
    QTest::newRow("huge number") << QByteArray("seek movie to 18446744073709551616") << 270u;
    QTest::newRow("long digits") << QByteArray("seek movie to " + QByteArray(5000, '9')) << 270u;
    QTest::newRow("huge parent") << QByteArray("open x.avi alias y parent 99999999999999999999999")
                                 << 270u;
    QTest::newRow("huge rectangle") << QByteArray("put movie window at 0 0 4294967295 1") << 282u;
    QTest::newRow("unterminated quote")
        << QByteArray("open \"/tmp/never ending.avi alias x") << 294u;
    QTest::newRow("lone quote") << QByteArray("\"") << 294u;
    QTest::newRow("NUL ends the command") << QByteArray("status movie mode\0 garbage", 26) << 0u;
    QTest::newRow("NUL inside a word") << QByteArray("sta\0tus movie mode", 18) << 261u;
    QTest::newRow("only blanks and tabs") << QByteArray(" \t \t ") << 267u;
    QTest::newRow("very long command")
        << QByteArray("status movie " + QByteArray(100000, 'x')) << 290u;
    QTest::newRow("very long alias")
        << QByteArray("status " + QByteArray(100000, 'a') + " mode") << 263u;
    QTest::newRow("control bytes") << QByteArray("\x01\x02\x03 \x7f") << 261u;
    QTest::newRow("invalid UTF-8 verb") << QByteArray("\xc3\x28 movie") << 261u;
}

void BadInputTest::awkwardCommands()
{
    QFETCH(QByteArray, command);
    QFETCH(unsigned, code);
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie").arg(mClip)).code, 0u);
    const Sent sent = sendBytes(command.toStdString());
    QCOMPARE(sent.code, code);
    checkAnswered(sent, command.left(60));
}

void BadInputTest::awkwardFileNames_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("blanks") << QByteArray("a clip with blanks.avi");
    QTest::newRow("semicolons") << QByteArray("a;b;c.avi");
    QTest::newRow("quote") << QByteArray("say \"hi\".avi");
    QTest::newRow("newline") << QByteArray("two\nlines.avi");
    QTest::newRow("umlauts") << QByteArray("\xc3\xbc\x62\x65rsicht.avi");
    QTest::newRow("invalid UTF-8") << QByteArray("bad\xff\xfe.avi");
    QTest::newRow("exclamation") << QByteArray("wow!.avi");
    QTest::newRow("dollar and backtick") << QByteArray("$(rm -rf x)`id`.avi");
}

void BadInputTest::awkwardFileNames()
{
    QFETCH(QByteArray, name);
    const QByteArray path = QFile::encodeName(mDir.path()) + '/' + name;
    QVERIFY(QFile::copy(mClip, QFile::decodeName(path)));
    QByteArray quoted = path;
    quoted.replace('"', "\"\"");
    const Sent sent =
        sendBytes(("open \"" + quoted + "\" type AviVideo alias movie").toStdString());
    checkAnswered(sent, name);
    QCOMPARE(sent.code, 0u);
    QVERIFY(reply("status movie length").toInt() > 1900);
    QCOMPARE(send("close movie").code, 0u);
}

void BadInputTest::brokenMedia_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("zero bytes") << "empty";
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("corrupt middle") << "corrupt";
    QTest::newRow("random bytes") << "random";
    QTest::newRow("folder named like a video") << "folder";
}

void BadInputTest::brokenMedia()
{
    QFETCH(QString, kind);
    const QString path = mDir.filePath(kind + QStringLiteral(".avi"));
    QFile original(mClip);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QByteArray bytes = original.readAll();
    QRandomGenerator random(7);
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else {
        if (kind == "empty")
            bytes.clear();
        else if (kind == "truncated")
            bytes.truncate(bytes.size() / 3);
        else if (kind == "corrupt")
            for (int i = bytes.size() / 4; i < bytes.size() * 3 / 4; ++i)
                bytes[i] = static_cast<char>(random.bounded(256));
        else
            for (char &b : bytes)
                b = static_cast<char>(random.bounded(256));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QWidget parent;
    const Sent sent = send(QStringLiteral("open \"%1\" type AviVideo alias movie parent %2")
                               .arg(path)
                               .arg(toolkit::handleOf(&parent)));
    checkAnswered(sent, kind.toUtf8());
    if (kind == "folder")
        QCOMPARE(sent.code, 275u);
    if (kind == "empty" || kind == "random")
        QCOMPARE(sent.code, 296u);
    if (sent.code != 0)
        return;
    // What opens must also play, seek and close.
    QCOMPARE(send("play movie from 0").code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 15000);
    QCOMPARE(reply("status movie position"), reply("status movie length"));
    QCOMPARE(send("seek movie to start").code, 0u);
    QCOMPARE(send("close movie").code, 0u);
}

QTEST_MAIN(BadInputTest)
#include "tst_mci_badinput.moc"
