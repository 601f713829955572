#include "shell/CommandLine.h"

#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

  private slots:
    void splitsLikeTheClassicCommandLine_data();
    void splitsLikeTheClassicCommandLine();
};

void TestCommandLine::splitsLikeTheClassicCommandLine_data()
{
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("blanks only") << "   \t " << QStringList{};
    QTest::newRow("silent switch with blanks around") << " /s " << QStringList{"/s"};
    QTest::newRow("blanks and tabs separate") << "a  b\tc" << QStringList{"a", "b", "c"};
    QTest::newRow("unquoted path then switch")
        << "/home/u/system32/msvbvm60.dll /s "
        << QStringList{"/home/u/system32/msvbvm60.dll", "/s"};
    QTest::newRow("quoted path with blanks")
        << "\"/home/a user/system32/mscomctl.ocx\" /s "
        << QStringList{"/home/a user/system32/mscomctl.ocx", "/s"};
    QTest::newRow("quotes inside an argument join") << "ab\"c d\"e" << QStringList{"abc de"};
    QTest::newRow("empty quoted argument") << "\"\" x" << QStringList{"", "x"};
    QTest::newRow("doubled quote inside quotes") << "\"a\"\"b\"" << QStringList{"a\"b"};
    QTest::newRow("escaped quote") << "\\\"x" << QStringList{"\"x"};
    QTest::newRow("backslashes without quote are literal")
        << "a\\\\b\\c" << QStringList{"a\\\\b\\c"};
    QTest::newRow("even backslashes before quote") << "\"a\\\\\" b" << QStringList{"a\\", "b"};
    QTest::newRow("unterminated quote runs to the end") << "\"a b" << QStringList{"a b"};
    QTest::newRow("command separator is literal")
        << "; rm -rf ~" << QStringList{";", "rm", "-rf", "~"};
    QTest::newRow("quoted command text is one argument")
        << "\"; rm -rf ~\"" << QStringList{"; rm -rf ~"};
    QTest::newRow("substitutions and pipes are literal")
        << "$(id) `id` | cat > f && x"
        << QStringList{"$(id)", "`id`", "|", "cat", ">", "f", "&&", "x"};
}

void TestCommandLine::splitsLikeTheClassicCommandLine()
{
    QFETCH(QString, parameters);
    QFETCH(QStringList, arguments);
    QCOMPARE(shell::splitParameters(parameters), arguments);
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
