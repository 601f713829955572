#include "system/SystemFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestSystemFolders : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void perUserFoldersAreCreatedOnDemand();
    void seamPointsBothFoldersElsewhere_data();
    void seamPointsBothFoldersElsewhere();

  private:
    QTemporaryDir mDir;
    QByteArray mSavedDataHome;
};

void TestSystemFolders::init()
{
    QVERIFY(mDir.isValid());
    mSavedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", mDir.path().toLocal8Bit());
}

void TestSystemFolders::cleanup()
{
    sys::setWindowsFolder({});
    if (mSavedDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", mSavedDataHome);
}

void TestSystemFolders::perUserFoldersAreCreatedOnDemand()
{
    const QString windows = mDir.filePath(QStringLiteral("pellin/windows"));
    QVERIFY(!QFileInfo::exists(windows));

    QCOMPARE(QString::fromStdString(sys::systemFolder()), windows + QStringLiteral("/system32"));
    QVERIFY(QFileInfo(windows + QStringLiteral("/system32")).isDir());
    QCOMPARE(QString::fromStdString(sys::windowsFolder()), windows);
}

void TestSystemFolders::seamPointsBothFoldersElsewhere_data()
{
    QTest::addColumn<QString>("given");
    QTest::newRow("plain") << "test windows";
    QTest::newRow("trailing separator") << "test windows/";
}

void TestSystemFolders::seamPointsBothFoldersElsewhere()
{
    QFETCH(QString, given);
    const QString windows = mDir.filePath(QStringLiteral("test windows"));

    sys::setWindowsFolder(mDir.filePath(given).toStdString());
    QCOMPARE(QString::fromStdString(sys::windowsFolder()), windows);
    QCOMPARE(QString::fromStdString(sys::systemFolder()), windows + QStringLiteral("/system32"));
    QVERIFY(QFileInfo(windows + QStringLiteral("/system32")).isDir());

    sys::setWindowsFolder({});
    QCOMPARE(QString::fromStdString(sys::windowsFolder()),
             mDir.filePath(QStringLiteral("pellin/windows")));
}

QTEST_GUILESS_MAIN(TestSystemFolders)
#include "tst_SystemFolders.moc"
