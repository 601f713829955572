#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The real launcher program in a prepared world: a course folder, a per-user data folder and
// a stand-in registration tool on the program search path. Every program it starts writes a
// report, so what it started, where and with what arguments can be checked.
namespace
{

const QStringList components = {"msvbvm60.dll", "mscomctl.ocx", "oleaut32.dll"};

bool writeFile(const QString &path, const QByteArray &content, bool executable = false)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QStringList reportLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Writes its working directory and its arguments, one a line, to $REPORT_DIR/<name>.txt;
// the whole report appears at once.
QByteArray reportingScript(const QByteArray &name)
{
    return "#!/bin/sh\n"
           "out=\"$REPORT_DIR/" +
           name +
           ".txt\"\n"
           "{ pwd; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > \"$out.tmp\"\n"
           "mv \"$out.tmp\" \"$out\"\n";
}

} // namespace

class TestPellinStart : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void preparesAndStartsThePlayer();
    void outsideTheCourseOnlyRegistrationsRun();

  private:
    int runLauncher(const QString &currentFolder);
    QString systemFolder() const { return mDir->filePath("data/pellin/windows/system32"); }
    QString report(const QString &name) const { return mDir->filePath("reports/" + name + ".txt"); }

    std::unique_ptr<QTemporaryDir> mDir;
};

void TestPellinStart::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    const QDir root(mDir->path());
    QVERIFY(root.mkpath("course/bin"));
    QVERIFY(root.mkpath("elsewhere"));
    QVERIFY(root.mkpath("tools"));
    QVERIFY(root.mkpath("reports"));
    for (const QString &component : components)
        QVERIFY(writeFile(root.filePath("course/bin/" + component), "cd " + component.toUtf8()));
    QVERIFY(writeFile(root.filePath("course/bin/tscc.exe"), "MZ", true));
    QVERIFY(writeFile(root.filePath("course/bin/PellinPlayer"), reportingScript("player"), true));
    // Each registration reports under the name of the component it was given.
    QVERIFY(writeFile(root.filePath("tools/regsvr32"),
                      reportingScript("regsvr32-$(basename \"$1\")"), true));
}

int TestPellinStart::runLauncher(const QString &currentFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", mDir->filePath("data"));
    environment.insert("REPORT_DIR", mDir->filePath("reports"));
    environment.insert("PATH", mDir->filePath("tools") + u':' + environment.value("PATH"));
    QProcess launcher;
    launcher.setProcessEnvironment(environment);
    launcher.setWorkingDirectory(currentFolder);
    launcher.start(PELLINSTART, {"--ignored", "arguments"});
    if (!launcher.waitForFinished(60000) || launcher.exitStatus() != QProcess::NormalExit)
        return -1;
    return launcher.exitCode();
}

void TestPellinStart::preparesAndStartsThePlayer()
{
    QCOMPARE(runLauncher(mDir->filePath("course")), 1);

    for (const QString &component : components) {
        QFile copy(systemFolder() + u'/' + component);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), "cd " + component.toUtf8());
    }

    const QString system = QDir(systemFolder()).canonicalPath();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report("player")), 30000);
    QCOMPARE(reportLines(report("player")), QStringList{system});
    for (const QString &component : components) {
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report("regsvr32-" + component)), 30000);
        QCOMPARE(reportLines(report("regsvr32-" + component)),
                 (QStringList{system, '[' + systemFolder() + u'/' + component + ']', "[/s]"}));
    }
}

void TestPellinStart::outsideTheCourseOnlyRegistrationsRun()
{
    QCOMPARE(runLauncher(mDir->filePath("elsewhere")), 1);

    QCOMPARE(QDir(systemFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    for (const QString &component : components)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report("regsvr32-" + component)), 30000);
}

QTEST_GUILESS_MAIN(TestPellinStart)
#include "tst_PellinStart.moc"
