#include "system/PathResolver.h"
#include "system/ShortPath.h"
#include "system/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_PathResolver : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir root;

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

    void tempFolderEndsInASeparator()
    {
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", root.path().toUtf8());
        const std::string folder = sys::tempFolder();
        qunsetenv("TMPDIR");
        const std::string fallback = sys::tempFolder();
        if (!saved.isEmpty())
            qputenv("TMPDIR", saved);
        QCOMPARE(QString::fromStdString(folder), root.path() + "/");
        QCOMPARE(fallback, std::string("/tmp/"));
    }
};

QTEST_GUILESS_MAIN(tst_PathResolver)
#include "tst_PathResolver.moc"
