#include "system/FileEnumeration.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

QStringList namesOf(const std::vector<sys::FoundFile> &found)
{
    QStringList names;
    for (const sys::FoundFile &file : found)
        names << QString::fromStdString(file.name);
    return names;
}

} // namespace

class tst_FileEnumeration : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir root;
    QString folder;

  private slots:
    void initTestCase()
    {
        QVERIFY(root.isValid());
        folder = root.filePath(QStringLiteral("Videos"));
        QVERIFY(QDir().mkpath(folder + "/Sub.avi"));
        QVERIFY(QDir().mkpath(folder + "/Chapter"));
        for (const char *name : {"a.avi", "B.AVI", "c.mpg", "noext", "d.avi.txt", "e.avix"}) {
            QFile file(folder + "/" + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(folder + "/Chapter", folder + "/Link"));
    }

    void patterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("extension, any case") << "*.avi" << QStringList{"B.AVI", "Sub.avi", "a.avi"};
        QTest::newRow("upper-case pattern") << "*.AVI" << QStringList{"B.AVI", "Sub.avi", "a.avi"};
        QTest::newRow("star dot star lists everything")
            << "*.*" << QStringList{"B.AVI", "Chapter",   "Link",   "Sub.avi", "a.avi",
                                    "c.mpg", "d.avi.txt", "e.avix", "noext"};
        QTest::newRow("one character") << "?.avi" << QStringList{"B.AVI", "a.avi"};
        QTest::newRow("name without extension") << "noext.*" << QStringList{"noext"};
        QTest::newRow("question mark in extension") << "*.mp?" << QStringList{"c.mpg"};
        QTest::newRow("no match") << "*.asf" << QStringList{};
    }
    void patterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, names);
        QStringList found = namesOf(sys::findFiles(folder.toStdString(), pattern.toStdString()));
        found.sort();
        QCOMPARE(found, names);
    }

    void listsInThePlatformOrder()
    {
        const QStringList platformOrder = QDir(folder).entryList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
        QCOMPARE(namesOf(sys::findFiles(folder.toStdString(), "*")), platformOrder);
    }

    void reportsFoldersAndLinks()
    {
        for (const sys::FoundFile &file : sys::findFiles(folder.toStdString(), "*")) {
            const QString name = QString::fromStdString(file.name);
            QCOMPARE(file.isFolder, name == "Sub.avi" || name == "Chapter" || name == "Link");
            QCOMPARE(file.isLink, name == "Link");
        }
    }

    void listingTakesTypesAndIdentity()
    {
        const QString listed = root.filePath(QStringLiteral("Listing"));
        QVERIFY(QDir().mkpath(listed + "/Folder"));
        QFile file(listed + "/file.avi");
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(listed + "/Folder", listed + "/Link"));
        QVERIFY(QFile::link(listed + "/file.avi", listed + "/FileLink"));
        QVERIFY(QFile::link(root.filePath("gone"), listed + "/Dangling"));

        const sys::FolderListing listing = sys::listFolder(listed.toStdString());
        QVERIFY(listing.opened);
        QStringList names;
        for (const sys::FoundFile &found : listing.entries) {
            const QString name = QString::fromStdString(found.name);
            names << name;
            QCOMPARE(found.isFolder, name == "Folder" || name == "Link");
            QCOMPARE(found.isLink, name == "Link" || name == "FileLink" || name == "Dangling");
        }
        QCOMPARE(names, QDir(listed).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                   QDir::Hidden | QDir::System,
                                               QDir::Unsorted));

        // A folder reached through a link is the same folder.
        const sys::FolderListing folderItself = sys::listFolder((listed + "/Folder").toStdString());
        const sys::FolderListing throughLink = sys::listFolder((listed + "/Link").toStdString());
        QVERIFY(folderItself.opened && throughLink.opened);
        QCOMPARE(throughLink.device, folderItself.device);
        QCOMPARE(throughLink.inode, folderItself.inode);
        QVERIFY(listing.inode != folderItself.inode);
        // The name is taken as it is: letter case is resolved by findFiles alone.
        QVERIFY(!sys::listFolder((root.path() + "/LISTING").toStdString()).opened);
        QVERIFY(!sys::listFolder((listed + "/file.avi").toStdString()).opened);
    }

    void folderFoundIgnoringCase()
    {
        const std::string written = (root.path() + "\\VIDEOS\\").toStdString();
        QCOMPARE(namesOf(sys::findFiles(written, "?.avi")).size(), 2);
    }

    void nothingFromWhatIsNoReadableFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << "Videos/none";
        QTest::newRow("a file") << "Videos/a.avi";
        QTest::newRow("empty folder") << "Videos/Chapter";
    }
    void nothingFromWhatIsNoReadableFolder()
    {
        QFETCH(QString, path);
        QVERIFY(sys::findFiles(root.filePath(path).toStdString(), "*.*").empty());
    }

    void nothingFromAnUnreadableFolder()
    {
        if (geteuid() == 0)
            QSKIP("permissions do not stop the superuser");
        const QString locked = root.filePath(QStringLiteral("Locked"));
        QVERIFY(QDir().mkpath(locked + "/inside"));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        const bool empty = sys::findFiles(locked.toStdString(), "*.*").empty();
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QVERIFY(empty);
    }

    void matching_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("star") << "x"
                              << "*" << true;
        QTest::newRow("empty name") << ""
                                    << "*" << true;
        QTest::newRow("star in the middle") << "lesson01.avi"
                                            << "les*01*" << true;
        QTest::newRow("too short for question marks") << "ab"
                                                      << "???" << false;
        QTest::newRow("longer extension") << "e.avix"
                                          << "*.avi" << false;
        QTest::newRow("non-ASCII case") << "ÜBUNG.avi"
                                        << "übung.*" << true;
        QTest::newRow("many stars") << "aaaaaaaaaaaaaaaaaaaaaaaaaaaaab"
                                    << "*a*a*a*a*a*c" << false;
        // Characters beyond ASCII that fold into ASCII letters match them.
        QTest::newRow("long s folds to s") << "intro.a\u017Ff"
                                           << "*.asf" << true;
        QTest::newRow("Kelvin sign folds to k") << "clip.m\u212Av"
                                                << "*.MKV" << true;
        QTest::newRow("pattern beyond ASCII") << "STRASSE.avi"
                                              << "stra\u017F\u017Fe.*" << true;
    }
    void matching()
    {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(sys::matchesPattern(name.toStdString(), pattern.toStdString()), matches);
    }
};

QTEST_GUILESS_MAIN(tst_FileEnumeration)
#include "tst_FileEnumeration.moc"
