#include "TestFiles.h"
#include "launcher/Launcher.h"
#include "shell/ShellRecorder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QStringList components = {"msvbvm60.dll", "mscomctl.ocx", "oleaut32.dll"};

QString describe(const shell::Call &call)
{
    return QStringLiteral("%1 | %2 | %3 | [%4] | %5 | %6")
        .arg(call.opening == shell::Opening::Program ? "program" : "document")
        .arg(call.verb, call.file, call.parameters, call.directory)
        .arg(call.show);
}

QStringList describe(const std::vector<shell::Call> &calls)
{
    QStringList lines;
    for (const shell::Call &call : calls)
        lines.append(describe(call));
    return lines;
}

// The five shell calls of one run, in order.
QStringList expectedCalls(const QString &system, const QString &source,
                          const QStringList &registrationParameters)
{
    QStringList lines;
    for (const QString &parameters : registrationParameters)
        lines.append(describe({shell::Opening::Program, "open", "regsvr32", parameters, system,
                               shell::ShowMinNoActive}));
    lines.append(describe({shell::Opening::Program, "open", source + "/tscc.exe", " /s ", system,
                           shell::ShowMinNoActive}));
    lines.append(describe({shell::Opening::Program, "open", source + "/PellinPlayer", "", system,
                           shell::ShowNormal}));
    return lines;
}

QStringList plainRegistrations(const QString &system)
{
    QStringList parameters;
    for (const QString &component : components)
        parameters.append(system + u'/' + component + " /s ");
    return parameters;
}

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void installsRegistersAndStartsInOrder_data();
    void installsRegistersAndStartsInOrder();
    void withoutBinFolderEveryStepStillRuns();
    void missingComponentKeepsAndRegistersTheOldCopy();
    void systemFolderWithBlanksIsQuoted();
    void currentFolderWithTrailingSeparator();

  private:
    void makeCourse(const QString &folder);

    std::unique_ptr<QTemporaryDir> mDir;
    QString mCourse;
    QString mSystem;
};

void TestLauncher::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    mCourse = mDir->filePath("course");
    mSystem = mDir->filePath("system32");
    QVERIFY(QDir().mkpath(mCourse));
    QVERIFY(QDir().mkpath(mSystem));
}

void TestLauncher::makeCourse(const QString &folder)
{
    QVERIFY(QDir().mkpath(folder + "/bin"));
    for (const QString &component : components)
        QVERIFY(writeFile(folder + "/bin/" + component, "cd " + component.toUtf8()));
    QVERIFY(writeFile(folder + "/bin/tscc.exe", "MZ"));
    QVERIFY(writeFile(folder + "/bin/PellinPlayer", "#!/bin/sh\n"));
}

// Components are replaced whatever the age of the copy already in the system folder.
void TestLauncher::installsRegistersAndStartsInOrder_data()
{
    QTest::addColumn<int>("presentAgeDays"); // 0: absent; <0: older than the CD; >0: newer

    QTest::newRow("absent") << 0;
    QTest::newRow("older copy present") << -30;
    QTest::newRow("newer copy present") << 30;
}

void TestLauncher::installsRegistersAndStartsInOrder()
{
    QFETCH(int, presentAgeDays);
    makeCourse(mCourse);
    const QDateTime cdTime = QDateTime::currentDateTimeUtc().addDays(-100);
    for (const QString &component : components) {
        QVERIFY(setModified(mCourse + "/bin/" + component, cdTime));
        if (presentAgeDays != 0) {
            const QString present = mSystem + u'/' + component;
            QVERIFY(writeFile(present, "present"));
            QVERIFY(setModified(present, cdTime.addDays(presentAgeDays)));
        }
    }

    shell::ShellRecorder recorder;
    const launcher::Launcher launcher(mSystem, mCourse);
    QCOMPARE(launcher.run(), 1);

    for (const QString &component : components)
        QCOMPARE(readFile(mSystem + u'/' + component), "cd " + component.toUtf8());
    QCOMPARE(describe(recorder.calls()),
             expectedCalls(mSystem, mCourse + "/bin", plainRegistrations(mSystem)));
}

void TestLauncher::withoutBinFolderEveryStepStillRuns()
{
    QVERIFY(writeFile(mSystem + "/mscomctl.ocx", "present"));

    shell::ShellRecorder recorder(shell::result::FileNotFound);
    QCOMPARE(launcher::Launcher(mSystem, mCourse).run(), 1);

    QCOMPARE(QDir(mSystem).entryList(QDir::Files | QDir::Hidden), QStringList{"mscomctl.ocx"});
    QCOMPARE(readFile(mSystem + "/mscomctl.ocx"), QByteArray("present"));
    QCOMPARE(describe(recorder.calls()),
             expectedCalls(mSystem, mCourse + "/bin", plainRegistrations(mSystem)));
}

void TestLauncher::missingComponentKeepsAndRegistersTheOldCopy()
{
    makeCourse(mCourse);
    QVERIFY(QFile::remove(mCourse + "/bin/mscomctl.ocx"));
    QVERIFY(writeFile(mSystem + "/mscomctl.ocx", "old"));

    shell::ShellRecorder recorder;
    QCOMPARE(launcher::Launcher(mSystem, mCourse).run(), 1);

    QCOMPARE(readFile(mSystem + "/msvbvm60.dll"), QByteArray("cd msvbvm60.dll"));
    QCOMPARE(readFile(mSystem + "/mscomctl.ocx"), QByteArray("old"));
    QCOMPARE(readFile(mSystem + "/oleaut32.dll"), QByteArray("cd oleaut32.dll"));
    QCOMPARE(describe(recorder.calls()),
             expectedCalls(mSystem, mCourse + "/bin", plainRegistrations(mSystem)));
}

void TestLauncher::systemFolderWithBlanksIsQuoted()
{
    makeCourse(mCourse);
    const QString system = mDir->filePath("home of user/system32");
    QVERIFY(QDir().mkpath(system));

    shell::ShellRecorder recorder;
    QCOMPARE(launcher::Launcher(system, mCourse).run(), 1);

    QStringList registrations;
    for (const QString &component : components) {
        QCOMPARE(readFile(system + u'/' + component), "cd " + component.toUtf8());
        registrations.append(u'"' + system + u'/' + component + "\" /s ");
    }
    QCOMPARE(describe(recorder.calls()), expectedCalls(system, mCourse + "/bin", registrations));
}

void TestLauncher::currentFolderWithTrailingSeparator()
{
    makeCourse(mCourse);

    shell::ShellRecorder recorder;
    const launcher::Launcher launcher(mSystem, mCourse + u'/');
    QCOMPARE(launcher.sourceFolder(), mCourse + "/bin");
    QCOMPARE(launcher.run(), 1);

    QCOMPARE(readFile(mSystem + "/oleaut32.dll"), QByteArray("cd oleaut32.dll"));
    QCOMPARE(describe(recorder.calls()),
             expectedCalls(mSystem, mCourse + "/bin", plainRegistrations(mSystem)));
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_Launcher.moc"
