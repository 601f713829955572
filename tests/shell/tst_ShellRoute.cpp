#include "shell/ShellRoute.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using shell::Action;
using Kind = shell::Action::Kind;

class TestShellRoute : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void routes_data();
    void routes();

  private:
    QString path(const QString &name) const { return mDir.filePath(name); }
    void write(const QString &name, const QByteArray &content, bool executable);

    QTemporaryDir mDir;
    QByteArray mSavedPath;
};

void TestShellRoute::write(const QString &name, const QByteArray &content, bool executable)
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (executable)
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

void TestShellRoute::initTestCase()
{
    QVERIFY(mDir.isValid());
    QVERIFY(QDir(mDir.path()).mkpath(QStringLiteral("Mixed Case")));
    QVERIFY(QDir(mDir.path()).mkpath(QStringLiteral("Docs")));
    QVERIFY(QDir(mDir.path()).mkpath(QStringLiteral("onpath")));
    write(QStringLiteral("doc.pdf"), "%PDF-1.4\n", false);
    write(QStringLiteral("cdfile.pdf"), "%PDF-1.4\n", true);
    write(QStringLiteral("Mixed Case/Manual.pdf"), "%PDF-1.4\n", false);
    write(QStringLiteral("tool.sh"), "#!/bin/sh\nexit 0\n", true);
    write(QStringLiteral("notes.sh"), "#!/bin/sh\nexit 0\n", false);
    write(QStringLiteral("setup.exe"), "MZ\x90\x00", true);
    write(QStringLiteral("SETUP2.EXE"), "MZ\x90\x00", false);
    write(QStringLiteral("onpath/pellin-test-tool"), "#!/bin/sh\nexit 0\n", true);
    write(QStringLiteral("manual.pdf"), "#!/bin/sh\nexit 0\n", true);
    const QString trueProgram = QStandardPaths::findExecutable(QStringLiteral("true"));
    QVERIFY(!trueProgram.isEmpty());
    QVERIFY(QFile::copy(trueProgram, path(QStringLiteral("elfprog"))));
    QVERIFY(QFile::copy(trueProgram, path(QStringLiteral("license_agreement.pdf"))));

    mSavedPath = qgetenv("PATH");
    qputenv("PATH", path(QStringLiteral("onpath")).toLocal8Bit() + ':' + mSavedPath);
}

void TestShellRoute::cleanupTestCase()
{
    qputenv("PATH", mSavedPath);
}

void TestShellRoute::routes_data()
{
    QTest::addColumn<int>("opening");
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("target"); // the URL opened or the program started
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("refusal");

    const auto url = [](const QString &file) { return QUrl::fromLocalFile(file).toString(); };
    const int open = int(Kind::OpenUrl);
    const int start = int(Kind::StartProgram);
    const int refuse = int(Kind::Refuse);
    const QString dir = mDir.path();
    const QStringList none;
    const auto document = [](const char *name) -> QTestData & {
        return QTest::newRow(name) << int(shell::Opening::Document);
    };
    const auto program = [](const char *name) -> QTestData & {
        return QTest::newRow(name) << int(shell::Opening::Program);
    };

    // Addresses
    document("web page, default verb, odd working directory")
        << ""
        << "http://www.example.com/store.htm"
        << ""
        << "C:\\" << open << "http://www.example.com/store.htm" << none << 0;
    document("secure web page with open") << "open"
                                          << "https://example.com/"
                                          << ""
                                          << "" << open << "https://example.com/" << none << 0;
    document("mail address") << ""
                             << "mailto:support@example.com"
                             << ""
                             << "" << open << "mailto:support@example.com" << none << 0;
    document("host name and backslash path")
        << ""
        << "www.example.com\\support.htm"
        << ""
        << "" << open << "http://www.example.com/support.htm" << none << 0;
    document("host name without www")
        << ""
        << "example.com\\order_form.pdf"
        << ""
        << "" << open << "http://example.com/order_form.pdf" << none << 0;
    document("bare www host") << ""
                              << "www.example.com"
                              << ""
                              << "" << open << "http://www.example.com" << none << 0;
    document("script scheme refused") << ""
                                      << "javascript:alert(1)"
                                      << ""
                                      << "" << refuse << "" << none << 31;
    document("custom protocol refused") << ""
                                        << "ms-settings:privacy"
                                        << ""
                                        << "" << refuse << "" << none << 31;

    // Documents and folders
    document("document") << "open" << path("doc.pdf") << ""
                         << "" << open << url(path("doc.pdf")) << none << 0;
    document("verb in capitals") << "OPEN" << path("doc.pdf") << ""
                                 << "" << open << url(path("doc.pdf")) << none << 0;
    document("unknown verb") << "print" << path("doc.pdf") << ""
                             << "" << refuse << "" << none << 31;
    document("executable bit does not make a program")
        << "open" << path("cdfile.pdf") << ""
        << "" << open << url(path("cdfile.pdf")) << none << 0;
    document("script without executable bit is a document")
        << "open" << path("notes.sh") << "x"
        << "" << open << url(path("notes.sh")) << none << 0;
    document("letter case ignored")
        << "open" << path("mixed case/MANUAL.PDF") << ""
        << "" << open << url(path("Mixed Case/Manual.pdf")) << none << 0;
    document("backslash separators")
        << "open" << dir + "\\mixed case\\manual.pdf"
        << ""
        << "" << open << url(path("Mixed Case/Manual.pdf")) << none << 0;
    document("file URL") << "" << url(path("doc.pdf")) << ""
                         << "" << open << url(path("doc.pdf")) << none << 0;
    document("folder") << "open" << path("Docs") << ""
                       << "" << open << url(path("Docs")) << none << 0;

    // Programs
    program("script program with silent switch")
        << "open" << path("tool.sh") << " /s " << path("Docs") << start << path("tool.sh")
        << QStringList{"/s"} << 0;
    program("native program, empty parameters")
        << "open" << path("elfprog") << "" << path("DOCS") << start << path("elfprog") << none << 0;
    program("program on the search path")
        << "open"
        << "pellin-test-tool"
        << "a /s "
        << "" << start << path("onpath/pellin-test-tool") << QStringList{"a", "/s"} << 0;
    program("command separator stays literal")
        << "open" << path("tool.sh") << "; rm -rf ~"
        << "" << start << path("tool.sh") << QStringList{";", "rm", "-rf", "~"} << 0;
    program("quoted command text is one argument")
        << "open" << path("tool.sh") << "\"; rm -rf ~\""
        << "" << start << path("tool.sh") << QStringList{"; rm -rf ~"} << 0;

    // A course's document is only ever shown, even when the disc marks a program or a script
    // as executable and names it as a document.
    document("executable script named as a document is shown, not run")
        << "open" << path("manual.pdf") << ""
        << "" << open << url(path("manual.pdf")) << none << 0;
    document("program copy named as a document is shown, not run")
        << "open" << path("license_agreement.pdf") << ""
        << "" << open << url(path("license_agreement.pdf")) << none << 0;
    document("script asked for as a document")
        << "open" << path("tool.sh") << " /s " << path("Docs") << open << url(path("tool.sh"))
        << none << 0;
    document("program asked for as a document") << "open" << path("elfprog") << ""
                                                << "" << open << url(path("elfprog")) << none << 0;
    document("bare name on the search path is no document") << "open"
                                                            << "pellin-test-tool"
                                                            << ""
                                                            << "" << refuse << "" << none << 2;
    document("windows program asked for as a document") << "open" << path("setup.exe") << ""
                                                        << "" << refuse << "" << none << 11;

    // A program request starts a program or nothing.
    program("document asked for as a program") << "open" << path("doc.pdf") << ""
                                               << "" << refuse << "" << none << 5;
    program("executable document asked for as a program") << "open" << path("cdfile.pdf") << ""
                                                          << "" << refuse << "" << none << 5;
    program("folder asked for as a program") << "open" << path("Docs") << ""
                                             << "" << refuse << "" << none << 5;
    program("web page asked for as a program") << "open"
                                               << "http://www.example.com/"
                                               << ""
                                               << "" << refuse << "" << none << 31;

    // The root folder, however it is written, is "file:///": "file://" has no path at all.
    for (const char *root : {"/", "//", "///", "/./", "\\", "file:///"})
        QTest::addRow("root folder written %s", root)
            << int(shell::Opening::Document) << "open" << root << ""
            << "" << open << "file:///" << none << 0;

    // Refusals
    program("windows program cannot run")
        << "open" << path("setup.exe") << " /s " << dir << refuse << "" << none << 11;
    program("windows program in capitals") << "open" << path("SETUP2.EXE") << ""
                                           << "" << refuse << "" << none << 11;
    document("missing file") << "open" << path("missing.pdf") << ""
                             << "" << refuse << "" << none << 2;
    document("missing folder") << "open" << path("nowhere/x.pdf") << ""
                               << "" << refuse << "" << none << 3;
    program("bare name not on the search path") << "open"
                                                << "pellin-no-such-tool"
                                                << " /s "
                                                << "" << refuse << "" << none << 2;
    program("program with missing working directory") << "open" << path("tool.sh") << ""
                                                      << "C:\\" << refuse << "" << none << 3;
    document("empty file") << "open"
                           << ""
                           << ""
                           << "" << refuse << "" << none << 2;
}

void TestShellRoute::routes()
{
    QFETCH(int, opening);
    QFETCH(QString, verb);
    QFETCH(QString, file);
    QFETCH(QString, parameters);
    QFETCH(QString, directory);
    QFETCH(int, kind);
    QFETCH(QString, target);
    QFETCH(QStringList, arguments);
    QFETCH(int, refusal);

    const Action action = shell::route(
        {shell::Opening(opening), verb, file, parameters, directory, shell::ShowNormal});
    QCOMPARE(int(action.kind), kind);
    switch (action.kind) {
    case Kind::OpenUrl:
        QCOMPARE(action.url.toString(), target);
        break;
    case Kind::StartProgram:
        QCOMPARE(action.program, target);
        QCOMPARE(action.arguments, arguments);
        // The working directory is found ignoring case like every other path.
        QCOMPARE(action.workingDirectory,
                 directory.isEmpty() ? QString() : QFileInfo(path("Docs")).absoluteFilePath());
        break;
    case Kind::Refuse:
        QCOMPARE(action.refusal, refusal);
        break;
    }
}

QTEST_GUILESS_MAIN(TestShellRoute)
#include "tst_ShellRoute.moc"
