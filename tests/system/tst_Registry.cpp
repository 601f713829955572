#include "system/Registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_Registry : public QObject
{
    Q_OBJECT

  private:
    QByteArray savedPath;
    QTemporaryDir bin;

    // Puts a program into the folder that is the whole PATH.
    void install(const QString &name, const QByteArray &script)
    {
        QFile file(bin.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script + "\n");
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }

  private slots:
    void initTestCase() { savedPath = qgetenv("PATH"); }
    void init()
    {
        QVERIFY(bin.isValid());
        for (const QString &name : QDir(bin.path()).entryList(QDir::Files))
            QFile::remove(bin.filePath(name));
        qputenv("PATH", bin.path().toUtf8());
    }
    void cleanup()
    {
        qputenv("PATH", savedPath);
        sys::setRegistryAnswer({});
    }

    void readerKeysFollowTheDesktop_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("reader");
        QTest::newRow("nothing installed") << "" << QByteArray() << false;
        QTest::newRow("viewer on the PATH") << "okular" << QByteArray("exit 0") << true;
        QTest::newRow("another viewer") << "zathura" << QByteArray("exit 0") << true;
        QTest::newRow("handler registered")
            << "xdg-mime" << QByteArray("echo org.gnome.Evince.desktop") << true;
        QTest::newRow("no handler registered") << "xdg-mime" << QByteArray("exit 0") << false;
        QTest::newRow("handler query fails")
            << "xdg-mime" << QByteArray("echo oops; exit 4") << false;
    }
    void readerKeysFollowTheDesktop()
    {
        QFETCH(QString, program);
        QFETCH(QByteArray, script);
        QFETCH(bool, reader);
        if (!program.isEmpty())
            install(program, script);
        const long expected = reader ? sys::RegistrySuccess : sys::RegistryKeyNotFound;
        const auto root = sys::RegistryRoot::LocalMachine;
        QCOMPARE(sys::desktopHasPdfViewer(), reader);
        QCOMPARE(sys::regKeyExists(root, "Software\\Adobe"), expected);
        QCOMPARE(sys::regKeyExists(root, "Software\\Adobe\\Acrobat Reader"), expected);
        QCOMPARE(sys::regKeyExists(root, "SOFTWARE\\adobe\\Acrobat"), expected);
        QCOMPARE(sys::regKeyExists(root, "Software\\Adobe\\Reader\\"), expected);
        QCOMPARE(sys::regKeyExists(root, "Software"), sys::RegistrySuccess);
        QCOMPARE(sys::regKeyExists(root, "Software\\Microsoft"), sys::RegistryKeyNotFound);
        QCOMPARE(sys::regKeyExists(root, "Adobe"), sys::RegistryKeyNotFound);
    }

    void scriptedAnswer()
    {
        install(QStringLiteral("evince"), "exit 0");
        QList<QPair<sys::RegistryRoot, QString>> asked;
        sys::setRegistryAnswer([&](sys::RegistryRoot root, const std::string &key) {
            asked.append({root, QString::fromStdString(key)});
            return key == "Software\\Adobe";
        });
        QCOMPARE(sys::regKeyExists(sys::RegistryRoot::LocalMachine, "Software\\Adobe"),
                 sys::RegistrySuccess);
        QCOMPARE(sys::regKeyExists(sys::RegistryRoot::CurrentUser, "Software\\Adobe\\Reader"),
                 sys::RegistryKeyNotFound);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1].first, sys::RegistryRoot::CurrentUser);
        QCOMPARE(asked[1].second, QStringLiteral("Software\\Adobe\\Reader"));

        sys::setRegistryAnswer({});
        QCOMPARE(sys::regKeyExists(sys::RegistryRoot::LocalMachine, "Software\\Adobe\\Reader"),
                 sys::RegistrySuccess);
    }
};

QTEST_GUILESS_MAIN(tst_Registry)
#include "tst_Registry.moc"
