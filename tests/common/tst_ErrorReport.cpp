#include "common/ErrorReport.h"
#include "common/modGlobals.h"
#include "support/WindowFixture.h"
#include "toolkit/MessageBox.h"
#include "toolkit/WindowHandles.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <optional>

using namespace modGlobals;

class ErrorReportTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void reportLines_data();
    void reportLines();
    void reportBox();
    void failingBoxIsSwallowed();
    void trapReportsAndLeaves();
    void ignoreGoesOn();

    void activateNothing();
    void activateRestoresMinimised();
    void activateNormalWindow();

  private:
    std::optional<support::WindowFixture> f;
};

void ErrorReportTest::init()
{
    f.emplace();
}

void ErrorReportTest::cleanup()
{
    f.reset();
}

void ErrorReportTest::reportLines_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("numberLine");
    QTest::addColumn<QString>("explanationLine");
    QTest::newRow("no number") << 0 << "Something odd"
                               << ""
                               << "Explanation: Something odd";
    QTest::newRow("object-defined base") << -2147221504 << "Automation error"
                                         << ""
                                         << "Explanation: Automation error";
    QTest::newRow("file not found") << 53 << "File not found"
                                    << "Number: 53"
                                    << "Explanation: File not found";
    QTest::newRow("negative") << -1 << "Broken"
                              << "Number: -1"
                              << "Explanation: Broken";
    QTest::newRow("empty description") << 5 << ""
                                       << "Number: 5"
                                       << "Explanation: ";
}

void ErrorReportTest::reportLines()
{
    QFETCH(int, number);
    QFETCH(QString, description);
    QFETCH(QString, numberLine);
    QFETCH(QString, explanationLine);
    const QStringList lines = ErrorReportText(number, description).split("\r\n");
    QCOMPARE(lines,
             (QStringList{"An unexpected error has occured: ", "", numberLine, explanationLine, "",
                          "Please contact support for more information."}));
}

void ErrorReportTest::reportBox()
{
    ReportError(53, "File not found");
    QCOMPARE(f->boxes.size(), 1u);
    QCOMPARE(f->boxes[0].prompt, ErrorReportText(53, "File not found"));
    QCOMPARE(f->boxes[0].title, QString("Vorlund - IT Certification Videos v2.1.0"));
    QCOMPARE(f->boxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
    // No state: a second failure gives a second box.
    ReportError(53, "File not found");
    QCOMPARE(f->boxes.size(), 2u);
}

void ErrorReportTest::failingBoxIsSwallowed()
{
    toolkit::setMessageBoxHandler(
        [](const toolkit::MessageBoxCall &) -> int { throw pellin::Failure(7, "Out of memory"); });
    ReportError(1, "anything"); // returns quietly
}

void ErrorReportTest::trapReportsAndLeaves()
{
    int stepsRun = 0;
    Trap([&] {
        ++stepsRun;
        throw pellin::Failure(380, "Invalid property value");
        ++stepsRun;
    });
    QCOMPARE(stepsRun, 1);
    QCOMPARE(f->boxes.size(), 1u);
    QVERIFY(f->boxes[0].prompt.contains("Number: 380"));
    QVERIFY(f->boxes[0].prompt.contains("Explanation: Invalid property value"));

    Trap([&] { ++stepsRun; });
    QCOMPARE(stepsRun, 2);
    QCOMPARE(f->boxes.size(), 1u);
}

void ErrorReportTest::ignoreGoesOn()
{
    int after = 0;
    Ignore([] { throw pellin::Failure(53, "File not found"); });
    ++after;
    QCOMPARE(after, 1);
    QVERIFY(f->boxes.empty());
}

void ErrorReportTest::activateNothing()
{
    ActivateWindow(0);
    ActivateWindow(987654321); // a handle no window has
}

void ErrorReportTest::activateRestoresMinimised()
{
    QWidget window;
    window.resize(200, 100);
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    QVERIFY(window.isMinimized());
    ActivateWindow(toolkit::handleOf(&window));
    QVERIFY(!window.isMinimized());
    QCOMPARE(window.windowState(), Qt::WindowNoState);
    QCOMPARE(window.size(), QSize(200, 100));
}

void ErrorReportTest::activateNormalWindow()
{
    QWidget other;
    other.show();
    QWidget window;
    window.show();
    other.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &other);
    ActivateWindow(toolkit::handleOf(&window));
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QCOMPARE(window.windowState(), Qt::WindowNoState);
}

QTEST_MAIN(ErrorReportTest)
#include "tst_ErrorReport.moc"
