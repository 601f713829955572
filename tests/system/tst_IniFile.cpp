#include "support/FileSizeLimit.h"
#include "system/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_IniFile : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir dir;

    QString path() const { return dir.filePath(QStringLiteral("system.ini")); }

    void writeFile(const QByteArray &content)
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QByteArray readFile() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private slots:
    void init() { QFile::remove(path()); }

    void writesEntries_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << "MCI"
                                  << "AviVideo" << QByteArray("[MCI]\nAviVideo=v\n");
        QTest::newRow("replace ignoring case, keep the rest")
            << QByteArray("; media\n[boot]\nshell=x\n\n[mci]\nAVIVIDEO = old\nWaveAudio=w\n")
            << "MCI"
            << "AviVideo"
            << QByteArray("; media\n[boot]\nshell=x\n\n[mci]\nAviVideo=v\nWaveAudio=w\n");
        QTest::newRow("add to the end of its section")
            << QByteArray("[MCI]\nWaveAudio=w\n\n[drivers]\nwave=a\n") << "mci"
            << "AviVideo" << QByteArray("[MCI]\nWaveAudio=w\nAviVideo=v\n\n[drivers]\nwave=a\n");
        QTest::newRow("same key in another section untouched")
            << QByteArray("[other]\nAviVideo=o\n") << "MCI"
            << "AviVideo" << QByteArray("[other]\nAviVideo=o\n[MCI]\nAviVideo=v\n");
        QTest::newRow("CR LF kept")
            << QByteArray("[MCI]\r\nAviVideo=old\r\n[x]\r\ny=1\r\n") << "MCI"
            << "AviVideo" << QByteArray("[MCI]\r\nAviVideo=v\r\n[x]\r\ny=1\r\n");
        QTest::newRow("no final line end")
            << QByteArray("[MCI]\nWaveAudio=w") << "MCI"
            << "AviVideo" << QByteArray("[MCI]\nWaveAudio=w\nAviVideo=v\n");
    }
    void writesEntries()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        if (!before.isEmpty())
            writeFile(before);
        QVERIFY(sys::writeProfileString(section.toStdString(), key.toStdString(), "v",
                                        path().toStdString()));
        QCOMPARE(readFile(), after);
    }

    // Names compare as text only where both are valid UTF-8; other names are bytes, so that two
    // different ones never overwrite each other.
    void namesThatAreNotText_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("two keys stay two")
            << QByteArray("[MCI]\n\xff=old\n") << QByteArray("MCI") << QByteArray("\xfe")
            << QByteArray("[MCI]\n\xff=old\n\xfe=v\n");
        QTest::newRow("the same bytes are the same key")
            << QByteArray("[MCI]\n\xff=old\n") << QByteArray("mci") << QByteArray("\xff")
            << QByteArray("[MCI]\n\xff=v\n");
        QTest::newRow("two sections stay two")
            << QByteArray("[\xff]\nk=old\n") << QByteArray("\xfe") << QByteArray("k")
            << QByteArray("[\xff]\nk=old\n[\xfe]\nk=v\n");
        QTest::newRow("no letter case in bytes")
            << QByteArray("[MCI]\nA\xff=old\n") << QByteArray("MCI") << QByteArray("a\xff")
            << QByteArray("[MCI]\nA\xff=old\na\xff=v\n");
        QTest::newRow("Windows-1252 bytes are not their UTF-8 text")
            << QByteArray("[MCI]\ncaf\xe9=old\n") << QByteArray("MCI") << QByteArray("café")
            << QByteArray("[MCI]\ncaf\xe9=old\ncafé=v\n");
        QTest::newRow("text ignores case beyond ASCII")
            << QByteArray("[Médias]\nÉcran=old\n") << QByteArray("MÉDIAS") << QByteArray("écran")
            << QByteArray("[Médias]\nécran=v\n");
    }
    void namesThatAreNotText()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, after);
        writeFile(before);
        QVERIFY(sys::writeProfileString(section.toStdString(), key.toStdString(), "v",
                                        path().toStdString()));
        QCOMPARE(readFile(), after);
    }

    void roundTripOfSeveralWrites()
    {
        const std::string file = path().toStdString();
        QVERIFY(sys::writeProfileString("MCI", "AviVideo", "a", file));
        QVERIFY(sys::writeProfileString("MCI", "MPEGVideo", "m", file));
        QVERIFY(sys::writeProfileString("boot", "shell", "s", file));
        QVERIFY(sys::writeProfileString("mci", "avivideo", "b", file));
        QCOMPARE(readFile(), QByteArray("[MCI]\navivideo=b\nMPEGVideo=m\n[boot]\nshell=s\n"));
    }

    void findsTheFileIgnoringCase()
    {
        const QString real = dir.filePath(QStringLiteral("System.INI"));
        QFile file(real);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[MCI]\n");
        file.close();
        QVERIFY(sys::writeProfileString("MCI", "k", "v", path().toStdString()));
        QVERIFY(!QFile::exists(path()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[MCI]\nk=v\n"));
        QVERIFY(QFile::remove(real));
    }

    void refusesWhatWouldBreakTheFile_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("empty section") << ""
                                       << "k"
                                       << "v";
        QTest::newRow("empty key") << "MCI"
                                   << ""
                                   << "v";
        QTest::newRow("bracket in section") << "MC]I"
                                            << "k"
                                            << "v";
        QTest::newRow("equals in key") << "MCI"
                                       << "k=x"
                                       << "v";
        QTest::newRow("line break in value") << "MCI"
                                             << "k"
                                             << "v\n[boot]";
        QTest::newRow("line break in key") << "MCI"
                                           << "k\r"
                                           << "v";
        // "[x=]" would read back as a section header.
        QTest::newRow("key that opens a section") << "MCI"
                                                  << "[x"
                                                  << "]";
        QTest::newRow("key that starts a comment") << "MCI"
                                                   << ";k"
                                                   << "v";
        QTest::newRow("line break in section") << "MC\nI"
                                               << "k"
                                               << "v";
        QTest::newRow("blank before section") << " MCI"
                                              << "k"
                                              << "v";
        QTest::newRow("blank after section") << "MCI\t"
                                             << "k"
                                             << "v";
        QTest::newRow("blank before key") << "MCI"
                                          << " k"
                                          << "v";
        QTest::newRow("blank after key") << "MCI"
                                         << "k "
                                         << "v";
        QTest::newRow("blank before value") << "MCI"
                                            << "k"
                                            << " v";
        QTest::newRow("blank after value") << "MCI"
                                           << "k"
                                           << "v ";
        QTest::newRow("NUL in key") << "MCI" << QString::fromLatin1("k\0x", 3) << "v";
        QTest::newRow("NUL in value") << "MCI"
                                      << "k" << QString::fromLatin1("v\0x", 3);
    }
    void refusesWhatWouldBreakTheFile()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        writeFile("[MCI]\nk=old\n");
        QVERIFY(!sys::writeProfileString(section.toStdString(), key.toStdString(),
                                         value.toStdString(), path().toStdString()));
        QCOMPARE(readFile(), QByteArray("[MCI]\nk=old\n"));
    }

    // The file is bigger than the limit lets it be: the write fails instead of leaving a file cut
    // at 64 bytes, and the old file stays as it was.
    void failsUnderAFileSizeLimit()
    {
        writeFile("[MCI]\nk=old\n");
        bool written = true;
        {
            const FileSizeLimit capped{64};
            written = sys::writeProfileString("MCI", "AviVideo", std::string(80, 'v'),
                                              path().toStdString());
        }
        QVERIFY(!written);
        QCOMPARE(readFile(), QByteArray("[MCI]\nk=old\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("system.ini")});
    }

    void missingFolderIsAFailure()
    {
        const QString file = dir.filePath(QStringLiteral("no/such/system.ini"));
        QVERIFY(!sys::writeProfileString("MCI", "k", "v", file.toStdString()));
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_GUILESS_MAIN(tst_IniFile)
#include "tst_IniFile.moc"
