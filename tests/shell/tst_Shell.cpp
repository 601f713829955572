#include "shell/Shell.h"
#include "shell/ShellRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
constexpr shell::Opening Document = shell::Opening::Document;
constexpr shell::Opening Program = shell::Opening::Program;
} // namespace

class TestShell : public QObject
{
    Q_OBJECT

  private slots:
    void recorderCapturesEveryCallInsteadOfStarting();
    void realShellIsBackAfterTheRecorder();
    void programGetsLiteralArguments_data();
    void programGetsLiteralArguments();
    void refusalsStartNothing_data();
    void refusalsStartNothing();
};

void TestShell::recorderCapturesEveryCallInsteadOfStarting()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.pdf"));

    shell::ShellRecorder recorder(shell::result::FileNotFound);
    QCOMPARE(shell::open(Program, QStringLiteral("open"), QStringLiteral("regsvr32"),
                         QStringLiteral("/x/msvbvm60.dll /s "), dir.path(), shell::ShowMinNoActive),
             shell::result::FileNotFound);
    QCOMPARE(shell::open(Document, {}, QStringLiteral("http://www.example.com/"), {},
                         QStringLiteral("C:\\")),
             shell::result::FileNotFound);
    QCOMPARE(shell::open(Document, QStringLiteral("open"), missing), shell::result::FileNotFound);

    const std::vector<shell::Call> expected{
        {Program, QStringLiteral("open"), QStringLiteral("regsvr32"),
         QStringLiteral("/x/msvbvm60.dll /s "), dir.path(), shell::ShowMinNoActive},
        {Document, QString(), QStringLiteral("http://www.example.com/"), QString(),
         QStringLiteral("C:\\"), shell::ShowNormal},
        {Document, QStringLiteral("open"), missing, QString(), QString(), shell::ShowNormal},
    };
    QVERIFY(recorder.calls() == expected);
}

void TestShell::realShellIsBackAfterTheRecorder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.pdf"));
    {
        shell::ShellRecorder recorder;
        QCOMPARE(shell::open(Document, QStringLiteral("open"), missing), shell::result::Started);
    }
    QCOMPARE(shell::open(Document, QStringLiteral("open"), missing), shell::result::FileNotFound);
}

// A real program is started with the parameters split into literal arguments: it records its
// working directory and arguments, and none of the command text it received is ever run.
void TestShell::programGetsLiteralArguments_data()
{
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("silent switch") << " /s " << QStringList{"/s"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("command separator") << "; touch pwned" << QStringList{";", "touch", "pwned"};
    QTest::newRow("quoted command text") << "\"; touch pwned\"" << QStringList{"; touch pwned"};
    QTest::newRow("substitution, pipe and conjunction")
        << "$(touch pwned) `touch pwned` | touch pwned && touch pwned"
        << QStringList{"$(touch", "pwned)", "`touch", "pwned`", "|",
                       "touch",   "pwned",  "&&",     "touch",  "pwned"};
    QTest::newRow("path with blanks")
        << "\"/a folder/x.dll\" /s " << QStringList{"/a folder/x.dll", "/s"};
}

void TestShell::programGetsLiteralArguments()
{
    QFETCH(QString, parameters);
    QFETCH(QStringList, arguments);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("work")));
    const QString work = dir.filePath(QStringLiteral("work"));
    const QString program = dir.filePath(QStringLiteral("record args"));
    const QString report = dir.filePath(QStringLiteral("report.txt"));
    {
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "out=\"$(dirname \"$0\")/report.txt\"\n"
                     "{ pwd; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > \"$out.tmp\"\n"
                     "mv \"$out.tmp\" \"$out\"\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    }

    QCOMPARE(
        shell::open(Program, QStringLiteral("open"), program, parameters, work, shell::ShowNormal),
        shell::result::Started);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 30000);
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    QCOMPARE(QDir(lines.takeFirst()).canonicalPath(), QDir(work).canonicalPath());
    QStringList expected;
    for (const QString &argument : arguments)
        expected.append(u'[' + argument + u']');
    QCOMPARE(lines, expected);
    QVERIFY(!QFile::exists(QDir(work).filePath(QStringLiteral("pwned"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("pwned"))));
}

void TestShell::refusalsStartNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("expected");

    QTest::newRow("windows installer")
        << "tscc.exe" << QByteArray("MZ\x90\x00", 4) << shell::result::BadFormat;
    QTest::newRow("missing program") << "" << QByteArray() << shell::result::FileNotFound;
}

void TestShell::refusalsStartNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString file = dir.filePath(QStringLiteral("absent"));
    if (!name.isEmpty()) {
        file = dir.filePath(name);
        QFile installer(file);
        QVERIFY(installer.open(QIODevice::WriteOnly));
        installer.write(content);
        installer.close();
        QVERIFY(installer.setPermissions(installer.permissions() | QFileDevice::ExeOwner));
    }
    QCOMPARE(shell::open(Program, QStringLiteral("open"), file, QStringLiteral(" /s "), dir.path(),
                         shell::ShowMinNoActive),
             expected);
}

QTEST_GUILESS_MAIN(TestShell)
#include "tst_Shell.moc"
