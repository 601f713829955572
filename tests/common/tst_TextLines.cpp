#include "common/Progress.h"
#include "common/TextLines.h"
#include "failure/Failure.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

#include <sys/stat.h>

using pellin::Failure;

namespace
{

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void putBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The failure number thrown by the call, or 0 when it succeeds.
int failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Failure &failure) {
        return failure.number();
    }
    return 0;
}

} // namespace

class TextLinesTest : public QObject
{
    Q_OBJECT

  private slots:
    void lineEnds_data();
    void lineEnds();
    void encoding_data();
    void encoding();
    void encodingIsChosenPerLine();
    void hundredThousandLines();
    void randomBytes();
    void writesUtf8WithCrLf();
    void readFailures();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void largeFileTellsItsProgress();
    void writeFailures();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();

  private:
    QTemporaryDir mDir;
};

void TextLinesTest::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty lines kept")
        << QByteArray("a\r\n\r\nb\n\rc") << QStringList{"a", "", "b", "", "c"};
    QTest::newRow("CR before CR LF") << QByteArray("\r\r\n") << QStringList{"", ""};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("byte order mark dropped") << QByteArray("\xEF\xBB\xBF"
                                                           "abc\r\n")
                                             << QStringList{"abc"};
    // Only the file's first bytes can be a byte order mark; elsewhere U+FEFF is a character.
    QTest::newRow("U+FEFF starting a later line kept")
        << QByteArray("abc\r\n\xEF\xBB\xBF"
                      "def\r\n")
        << QStringList{"abc", QStringLiteral("\uFEFFdef")};
    QTest::newRow("U+FEFF after the byte order mark kept")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                      "abc")
        << QStringList{QStringLiteral("\uFEFFabc")};
    QTest::newRow("U+FEFF starting a later line beside a Windows-1252 line kept")
        << QByteArray("caf\xE9\r\n\xEF\xBB\xBF"
                      "def\r\n")
        << QStringList{QStringLiteral("café"), QStringLiteral("\uFEFFdef")};
    QTest::newRow("NUL inside a line")
        << QByteArray("a\0b\n", 4) << QStringList{QString::fromUtf16(u"a\0b", 3)};
}

void TextLinesTest::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(pellin::decodeTextLines(bytes), lines);
}

void TextLinesTest::encoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line");
    QTest::newRow("ASCII") << QByteArray("plain") << QStringLiteral("plain");
    QTest::newRow("UTF-8") << QByteArray("Gr\xC3\xBC\xC3\x9F"
                                         "e \xE2\x82\xAC")
                           << QStringLiteral("Grüße €");
    QTest::newRow("Windows-1252 letters") << QByteArray("Einf\xFChrung Gr\xFC\xDF"
                                                        "e")
                                          << QStringLiteral("Einführung Grüße");
    QTest::newRow("Windows-1252 high block")
        << QByteArray("\x80 \x93q\x94 \x85\x99") << QStringLiteral("€ “q” …™");
    QTest::newRow("bytes Windows-1252 leaves undefined")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("overlong UTF-8 is not UTF-8") << QByteArray("\xC0\xAF") << QStringLiteral("À¯");
    QTest::newRow("cut UTF-8 sequence") << QByteArray("ab\xC3") << QStringLiteral("abÃ");
}

void TextLinesTest::encoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line);
    QCOMPARE(pellin::decodeTextLines(bytes), QStringList{line});
}

void TextLinesTest::encodingIsChosenPerLine()
{
    const QByteArray bytes("caf\xC3\xA9\r\n"
                           "caf\xE9\r\n"
                           "\xE2\x80\x9Cok\xE2\x80\x9D\r\n");
    QCOMPARE(pellin::decodeTextLines(bytes),
             (QStringList{QStringLiteral("café"), QStringLiteral("café"), QStringLiteral("“ok”")}));
}

void TextLinesTest::hundredThousandLines()
{
    QStringList lines;
    for (int i = 0; i < 100000; ++i)
        lines.append(
            QStringLiteral("/media/cd/videos/modul %1.avi;Übung %1;%2:00").arg(i).arg(i % 60));
    const QString path = mDir.filePath(QStringLiteral("large.txt"));
    pellin::writeTextLines(path, lines);
    QCOMPARE(pellin::readTextLines(path), lines);
}

void TextLinesTest::randomBytes()
{
    QRandomGenerator random(20240601);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(random.bounded(1, 65536), Qt::Uninitialized);
        for (char &byte : bytes) {
            // Line ends and UTF-8 lead bytes often enough to exercise every branch.
            const quint32 pick = random.bounded(16);
            byte = pick == 0 ? '\r' : pick == 1 ? '\n' : static_cast<char>(random.bounded(256));
        }
        const QStringList lines = pellin::decodeTextLines(bytes);
        qsizetype lineEnds = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r')
                continue;
            if (bytes[i] == '\r' || bytes[i] == '\n')
                ++lineEnds;
        }
        const bool unterminated = !bytes.endsWith('\r') && !bytes.endsWith('\n');
        QCOMPARE(lines.size(), lineEnds + (unterminated ? 1 : 0));
        for (const QString &line : lines)
            QVERIFY(!line.contains(u'\r') && !line.contains(u'\n'));
    }
}

void TextLinesTest::writesUtf8WithCrLf()
{
    const QString path = mDir.filePath(QStringLiteral("written.txt"));
    pellin::writeTextLines(path, {QStringLiteral("one"), QString(), QStringLiteral("Grüße")});
    QCOMPARE(fileBytes(path), QByteArray("one\r\n\r\nGr\xC3\xBC\xC3\x9F"
                                         "e\r\n"));

    pellin::writeTextLines(path, {QStringLiteral("replaced")});
    QCOMPARE(fileBytes(path), QByteArray("replaced\r\n"));

    pellin::writeTextLines(path, {});
    QVERIFY(QFile::exists(path));
    QCOMPARE(fileBytes(path), QByteArray());
}

void TextLinesTest::readFailures()
{
    QCOMPARE(failureOf([&] { pellin::readTextLines(mDir.filePath(QStringLiteral("none.txt"))); }),
             pellin::failure::FileNotFound);
    QCOMPARE(failureOf([&] {
                 pellin::readTextLines(mDir.filePath(QStringLiteral("no folder/none.txt")));
             }),
             pellin::failure::PathNotFound);
    QCOMPARE(failureOf([&] { pellin::readTextLines(mDir.path()); }),
             pellin::failure::PathFileAccess);
}

// What is no regular file is neither read nor waited for, nor a file over the limit; the
// failure names the file.
void TextLinesTest::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("why");
    const QString fifo = mDir.filePath(QStringLiteral("list fifo.pel"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    const QString loop = mDir.filePath(QStringLiteral("loop.pel"));
    QVERIFY(QFile::link(loop, loop));
    const QString large = mDir.filePath(QStringLiteral("large.pel"));
    {
        QFile file(large);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(pellin::kTextFileLimit + 1));
    }
    QTest::newRow("FIFO without a writer") << fifo << "is not a regular file";
    QTest::newRow("endless device") << QStringLiteral("/dev/zero") << "is not a regular file";
    QTest::newRow("folder") << mDir.path() << "is a folder, not a file";
    QTest::newRow("link loop") << loop << "is a link that leads round in a circle";
    QTest::newRow("over the limit") << large << "is larger than 64 MB";
}

void TextLinesTest::onlyRegularFilesAreRead()
{
    QFETCH(QString, path);
    QFETCH(QString, why);
    try {
        pellin::readText(path);
        QFAIL("the file was read");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), pellin::failure::PathFileAccess);
        const QString description = QString::fromStdString(failure.description());
        QVERIFY2(description.contains(path + u' ' + why), qPrintable(description));
    }
}

void TextLinesTest::largeFileTellsItsProgress()
{
    const QString path = mDir.filePath(QStringLiteral("long.pel"));
    const QByteArray line("/media/cd/videos/module.avi;A module of the course;12:34\r\n");
    putBytes(path, line.repeated(pellin::kProgressFrom / line.size() * 2));
    QList<int> told;
    pellin::setProgressDisplay([&](const QString &what, int percent) {
        QCOMPARE(what, QStringLiteral("Reading long.pel"));
        told << percent;
    });
    const pellin::DecodedText decoded = pellin::readText(path);
    pellin::setProgressDisplay({});
    QCOMPARE(decoded.lines().sizeHint(), pellin::kProgressFrom / line.size() * 2 + 1);
    QVERIFY2(told.size() > 2, qPrintable(QString::number(told.size())));
    QCOMPARE(told.first(), 0);
    QCOMPARE(told.last(), 100);
    QVERIFY(std::is_sorted(told.begin(), told.end()));
}

void TextLinesTest::writeFailures()
{
    const QString inMissingFolder = mDir.filePath(QStringLiteral("no folder/list.txt"));
    QCOMPARE(failureOf([&] { pellin::writeTextLines(inMissingFolder, {QStringLiteral("x")}); }),
             pellin::failure::PathNotFound);
    QVERIFY(!QFile::exists(inMissingFolder));

    const QString folder = mDir.filePath(QStringLiteral("a folder"));
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(failureOf([&] { pellin::writeTextLines(folder, {QStringLiteral("x")}); }),
             pellin::failure::PathFileAccess);
    QVERIFY(QFileInfo(folder).isDir());
}

void TextLinesTest::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("lineCount");
    // A few lines fit into any write buffer: only a writer that checks its last flush notices.
    QTest::newRow("a large list past 4096 bytes") << 4096 << 10000;
    QTest::newRow("three lines past 64 bytes") << 64 << 3;
}

void TextLinesTest::failedWriteKeepsOldFile()
{
    QFETCH(int, limit);
    QFETCH(int, lineCount);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.txt"));
    putBytes(path, "old line\r\n");

    QStringList lines;
    for (int i = 0; i < lineCount; ++i)
        lines.append(QStringLiteral("a line long enough to pass the size limit %1").arg(i));
    int number = 0;
    {
        const FileSizeLimit capped{rlim_t(limit)};
        number = failureOf([&] { pellin::writeTextLines(path, lines); });
    }
    QCOMPARE(number, pellin::failure::PathFileAccess);
    QCOMPARE(fileBytes(path), QByteArray("old line\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("kept.txt")});
}

QTEST_GUILESS_MAIN(TextLinesTest)
#include "tst_TextLines.moc"
