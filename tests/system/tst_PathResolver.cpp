#include "system/PathResolver.h"
#include "system/ShortPath.h"
#include "system/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class tst_PathResolver : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir root;

    std::vector<QByteArray> rawEntries;

    // Names that are not valid UTF-8 cannot pass through QString: made, and removed again (which
    // the temporary folder could not do), from their bytes.
    void touchBytes(const QByteArray &folder, const QByteArray &name)
    {
        const QByteArray folderPath = QFile::encodeName(root.path()) + "/" + folder;
        if (::mkdir(folderPath.constData(), 0755) == 0)
            rawEntries.push_back(folderPath);
        const QByteArray path = folderPath + "/" + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        rawEntries.push_back(path);
    }

    void touch(const QString &relative)
    {
        const QString path = root.filePath(relative);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

  private slots:
    void initTestCase()
    {
        QVERIFY(root.isValid());
        touch(QStringLiteral("Course/Bin/Index.DAT"));
        touch(QStringLiteral("Course/Videos/Lesson One.AVI"));
        touch(QStringLiteral("Twins/A.txt"));
        touch(QStringLiteral("Twins/a.txt"));
        touch(QStringLiteral("Twins/b.TXT"));
        touchBytes("Raw", "\xfe.avi");
        touchBytes("Raw", "\xff.avi");
        touchBytes("\xe9t\xe9", "Lesson.avi");
    }

    void cleanupTestCase()
    {
        for (auto entry = rawEntries.rbegin(); entry != rawEntries.rend(); ++entry)
            ::remove(entry->constData());
    }

    void resolvesIgnoringCase_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("onDisk");
        QTest::newRow("exact") << "Course/Bin/Index.DAT"
                               << "Course/Bin/Index.DAT";
        QTest::newRow("lower case") << "course/bin/index.dat"
                                    << "Course/Bin/Index.DAT";
        QTest::newRow("backslashes") << "course\\bin\\index.dat"
                                     << "Course/Bin/Index.DAT";
        QTest::newRow("mixed and doubled separators") << "COURSE\\\\videos//lesson one.avi"
                                                      << "Course/Videos/Lesson One.AVI";
        QTest::newRow("trailing separator") << "course\\bin\\"
                                            << "Course/Bin/";
        QTest::newRow("new file in a found folder") << "course/bin/new.txt"
                                                    << "Course/Bin/new.txt";
        QTest::newRow("missing folder kept as written") << "course/nothere/Index.dat"
                                                        << "Course/nothere/Index.dat";
        QTest::newRow("exact twin wins") << "Twins/a.txt"
                                         << "Twins/a.txt";
        QTest::newRow("other exact twin wins") << "Twins/A.txt"
                                               << "Twins/A.txt";
        QTest::newRow("no exact twin: first in name order") << "twins/A.TXT"
                                                            << "Twins/A.txt";
        QTest::newRow("single match") << "twins/B.txt"
                                      << "Twins/b.TXT";
    }
    void resolvesIgnoringCase()
    {
        QFETCH(QString, written);
        QFETCH(QString, onDisk);
        const std::string absolute = (root.path() + "/" + written).toStdString();
        QCOMPARE(QString::fromStdString(sys::resolvePath(absolute)), root.path() + "/" + onDisk);
    }

    void namesThatAreNotUtf8_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::newRow("one name finds its own file")
            << QByteArray("raw/\xff.avi") << QByteArray("Raw/\xff.avi");
        QTest::newRow("the other name finds the other")
            << QByteArray("raw/\xfe.avi") << QByteArray("Raw/\xfe.avi");
        QTest::newRow("a third name finds neither")
            << QByteArray("raw/\xfd.avi") << QByteArray("Raw/\xfd.avi");
        QTest::newRow("its letters compare as bytes")
            << QByteArray("raw/\xff.AVI") << QByteArray("Raw/\xff.AVI");
        QTest::newRow("text below such a folder ignores case")
            << QByteArray("\xe9t\xe9/LESSON.avi") << QByteArray("\xe9t\xe9/Lesson.avi");
    }
    void namesThatAreNotUtf8()
    {
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, onDisk);
        const QByteArray folder = QFile::encodeName(root.path()) + "/";
        QCOMPARE(QByteArray::fromStdString(sys::resolvePath((folder + written).toStdString())),
                 folder + onDisk);
    }

    void resolvesRelativeToTheCurrentFolder()
    {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(root.path()));
        const std::string resolved = sys::resolvePath("course\\videos\\LESSON ONE.avi");
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(QString::fromStdString(resolved), QStringLiteral("Course/Videos/Lesson One.AVI"));
    }

    void emptyPathStaysEmpty() { QCOMPARE(sys::resolvePath(""), std::string()); }

    void noShortNames()
    {
        std::string shortName = "untouched";
        QCOMPARE(sys::shortPathName(root.filePath("Course/Bin/Index.DAT").toStdString(), shortName),
                 std::size_t(0));
        QCOMPARE(shortName, std::string("untouched"));
    }

    // The private temporary folder: the user's own folder under TMPDIR (the runtime folder
    // when there is one), with its trailing separator.
    void tempFolderEndsInASeparator()
    {
        const QByteArray saved = qgetenv("TMPDIR");
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", root.path().toUtf8());
        qunsetenv("XDG_RUNTIME_DIR");
        sys::resetTempFolder();
        const std::string folder = sys::tempFolder();
        qputenv("XDG_RUNTIME_DIR", root.path().toUtf8());
        sys::resetTempFolder();
        const std::string runtimeFolder = sys::tempFolder();
        sys::resetTempFolder();
        qunsetenv("TMPDIR");
        if (!saved.isEmpty())
            qputenv("TMPDIR", saved);
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime);
        QCOMPARE(QString::fromStdString(folder),
                 root.path() + QStringLiteral("/pellin-%1/").arg(::geteuid()));
        QCOMPARE(QString::fromStdString(runtimeFolder), root.path() + "/");
    }
};

QTEST_GUILESS_MAIN(tst_PathResolver)
#include "tst_PathResolver.moc"
