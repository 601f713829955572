#include "TestFiles.h"
#include "system/FileCopy.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestFileCopy : public QObject
{
    Q_OBJECT

  private slots:
    void copies_data();
    void copies();
    void copyFromReadOnlyMediaCanBeReplacedLater();
};

void TestFileCopy::copies_data()
{
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("targetWriteProtected");
    QTest::addColumn<bool>("failIfExists");
    QTest::addColumn<bool>("copied");

    QTest::newRow("new file") << true << false << false << false << true;
    QTest::newRow("new file, fail if exists") << true << false << false << true << true;
    QTest::newRow("replaces existing") << true << true << false << false << true;
    QTest::newRow("keeps existing when asked") << true << true << false << true << false;
    QTest::newRow("write-protected target") << true << true << true << false << false;
    QTest::newRow("missing source, no target") << false << false << false << false << false;
    QTest::newRow("missing source keeps target") << false << true << false << false << false;
}

void TestFileCopy::copies()
{
    QFETCH(bool, sourceExists);
    QFETCH(bool, targetExists);
    QFETCH(bool, targetWriteProtected);
    QFETCH(bool, failIfExists);
    QFETCH(bool, copied);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("to")));
    const QString source = dir.filePath(QStringLiteral("component.dll"));
    const QString target = dir.filePath(QStringLiteral("to/component.dll"));
    const QDateTime sourceTime = QDateTime::currentDateTimeUtc().addDays(-400);
    if (sourceExists) {
        QVERIFY(writeFile(source, "new content"));
        QVERIFY(setModified(source, sourceTime));
    }
    if (targetExists) {
        QVERIFY(writeFile(target, "old"));
        if (targetWriteProtected)
            QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner));
    }

    QCOMPARE(sys::copyFile(source.toStdString(), target.toStdString(), failIfExists), copied);

    if (copied) {
        QCOMPARE(readFile(target), QByteArray("new content"));
        QCOMPARE(QFileInfo(target).lastModified().toSecsSinceEpoch(),
                 sourceTime.toSecsSinceEpoch());
    } else if (targetExists) {
        QCOMPARE(readFile(target), QByteArray("old"));
    } else {
        QVERIFY(!QFileInfo::exists(target));
    }
    // Nothing but the target itself is ever left in the target folder.
    const QStringList left = QDir(dir.filePath(QStringLiteral("to")))
                                 .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(left, (copied || targetExists) ? QStringList{"component.dll"} : QStringList{});
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestFileCopy::copyFromReadOnlyMediaCanBeReplacedLater()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("mscomctl.ocx"));
    const QString target = dir.filePath(QStringLiteral("copy.ocx"));
    QVERIFY(writeFile(source, "first"));
    QVERIFY(QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::ReadGroup));

    QVERIFY(sys::copyFile(source.toStdString(), target.toStdString(), false));
    QVERIFY(QFileInfo(target).permissions().testFlag(QFileDevice::WriteOwner));

    QVERIFY(QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(writeFile(source, "second"));
    QVERIFY(sys::copyFile(source.toStdString(), target.toStdString(), false));
    QCOMPARE(readFile(target), QByteArray("second"));
}

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_FileCopy.moc"
