#include "support/FailureNumber.h"
#include "toolkit/Application.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Form.h"
#include "toolkit/Forms.h"
#include "toolkit/Handlers.h"
#include "toolkit/ListView.h"
#include "toolkit/MenuItem.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/Reset.h"
#include "toolkit/Slider.h"
#include "toolkit/Timer.h"
#include "toolkit/Toolbar.h"
#include "toolkit/Units.h"
#include "toolkit/WindowHandles.h"

#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <vector>

namespace
{

// What the windows under test did, in order, across every instance.
std::vector<QString> &journal()
{
    static std::vector<QString> lines;
    return lines;
}

class Recorded : public toolkit::Form
{
  public:
    explicit Recorded(const QString &name) : toolkit::Form(name) {}
    void Form_Load() override { journal().push_back("load " + Name()); }
    void Form_Unload(int &cancel) override
    {
        journal().push_back("unload " + Name());
        cancel = refuse ? 1 : 0;
    }
    bool refuse = false;
};

struct First : Recorded {
    First() : Recorded("First") {}
};
struct Second : Recorded {
    Second() : Recorded("Second") {}
};

toolkit::FormSlot<First> firstSlot;
toolkit::FormSlot<Second> secondSlot;

} // namespace

class ToolkitTest : public QObject
{
    Q_OBJECT

  private slots:
    void cleanup();

    void controlKeepsTwips_data();
    void controlKeepsTwips();
    void formOuterAndInnerSize();

    void listViewRefusesRepeatedKey();
    void listViewKeysFollowRemoveAndClear();
    void listViewItemsAreOneBased();
    void progressBarStepsWithoutPaintingEach();

    void sliderRefusesMaximumBelowZero();

    void formSlotLoadsUnloadsAndReloads();
    void cancelledUnloadKeepsWindow();
    void ownedWindowsUnloadWithOwner();
    void anOwnerDeletedByQtTakesItsOwnedWindowOnce();
    void closeBoxUnloadsUnlessRemoved();

    void messageBoxSeam();
    void pushedLookStaysUntilReleased();
    void menuCheckMarkIsTheProgramsOnly();
    void timerTicks();

    void failureInHandlerIsReportedAndLoopGoesOn();
    void everyControlEventRunsItsHandlerThroughTheWrapper();
    void resetNumbersHandlesAgainOnlyWhenNoneIsHeld();
};

void ToolkitTest::cleanup()
{
    secondSlot.Unload();
    firstSlot.Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    journal().clear();
    toolkit::setMessageBoxHandler({});
}

void ToolkitTest::controlKeepsTwips_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("video area") << 5 << 420 << 9630 << 7200;
    QTest::newRow("laid-out video area") << 5 << 420 << 9645 << 7270;
    QTest::newRow("slider") << 0 << 7693 << 9642 << 375;
    QTest::newRow("status bar in the small window") << 2565 << 30 << 2015 << 255;
}

void ToolkitTest::controlKeepsTwips()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QWidget parent;
    QWidget widget(&parent);
    toolkit::Control control(widget);
    control.Move(left, top, width, height);
    QCOMPARE(control.Left(), left);
    QCOMPARE(control.Top(), top);
    QCOMPARE(control.Width(), width);
    QCOMPARE(control.Height(), height);
    // The pixels are what the twips come to, whole pixels only.
    QCOMPARE(widget.width(), toolkit::toPixelsX(width));
    QCOMPARE(widget.height(), toolkit::toPixelsY(height));

    control.setWidth(width + 7);
    control.setTop(top + 1);
    QCOMPARE(control.Width(), width + 7);
    QCOMPARE(control.Top(), top + 1);
    QCOMPARE(control.Left(), left);
    QCOMPARE(control.Height(), height);
}

void ToolkitTest::formOuterAndInnerSize()
{
    toolkit::Form form("Sized");
    form.Move(120, 240, 9735, 8730);
    QCOMPARE(form.Left(), 120);
    QCOMPARE(form.Top(), 240);
    QCOMPARE(form.Width(), 9735);
    QCOMPARE(form.Height(), 8730);
    QCOMPARE(form.ScaleWidth(), 9735 - toolkit::frameWidthTwips());
    QCOMPARE(form.ScaleHeight(), 8730 - toolkit::frameHeightTwips());
    QCOMPARE(form.width(), toolkit::toPixelsX(9735) - toolkit::kFrameWidthPixels);

    form.setWidth(5610);
    QCOMPARE(form.Width(), 5610);
    QCOMPARE(form.Height(), 8730);
}

void ToolkitTest::listViewRefusesRepeatedKey()
{
    QWidget parent;
    toolkit::ListView list(&parent);
    list.Add("d:\\a.avi", "A", "file");
    QCOMPARE(failingNumber([&] { list.Add("d:\\a.avi", "again", "file"); }),
             pellin::failure::KeyNotUnique);
    QCOMPARE(list.Count(), 1);
    QCOMPARE(list.Item(1).Text(), QString("A"));
    // Keys are compared exactly: another letter case is another key.
    list.Add("D:\\A.AVI", "upper", "file");
    QCOMPARE(list.Count(), 2);
}

void ToolkitTest::listViewKeysFollowRemoveAndClear()
{
    QWidget parent;
    toolkit::ListView list(&parent);
    list.Add("k1", "one", "file").setSubItem(1, "1:00");
    list.Add("k2", "two", "file");
    list.Add("k3", "three", "file");

    auto found = list.findKey("k2");
    QVERIFY(found);
    QCOMPARE(found->Text(), QString("two"));
    QCOMPARE(found->Index(), 2);
    QCOMPARE(list.findKey("k1")->SubItem(1), QString("1:00"));
    QVERIFY(!list.findKey("nothing"));

    list.Remove(2);
    QVERIFY(!list.findKey("k2"));
    QCOMPARE(list.findKey("k3")->Index(), 2);
    list.Add("k2", "two again", "file"); // a removed key is free again
    QCOMPARE(list.findKey("k2")->Index(), 3);

    list.Clear();
    QCOMPARE(list.Count(), 0);
    QVERIFY(!list.findKey("k1"));
    list.Add("k1", "one", "file");
    QCOMPARE(list.Count(), 1);
}

void ToolkitTest::listViewItemsAreOneBased()
{
    QWidget parent;
    toolkit::ListView list(&parent);
    list.Add("a", "first", "file");
    list.Add("b", "second", "file").setForeColor(0x0000FFFF);
    QCOMPARE(list.Item(1).Key(), QString("a"));
    QCOMPARE(list.Item(2).Key(), QString("b"));
    QCOMPARE(list.Item(2).ForeColor(), 0x0000FFFFu);
    QCOMPARE(list.Item(1).SmallIcon(), QString("file"));
    QVERIFY(failingNumber([&] { list.Item(0); }) != 0);
    QVERIFY(failingNumber([&] { list.Item(3); }) != 0);

    QVERIFY(!list.SelectedItem());
    list.Item(2).setSelected(true);
    QCOMPARE(list.SelectedItem()->Key(), QString("b"));
    QVERIFY(list.Item(2).Selected());
    // Deselected, the row may keep the focus but is no selection any more.
    list.Item(2).setSelected(false);
    QVERIFY(!list.SelectedItem());
}

void ToolkitTest::progressBarStepsWithoutPaintingEach()
{
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    };
    QWidget parent;
    toolkit::ProgressBar bar(&parent);
    bar.setGeometry(0, 0, 424, 12);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    PaintCounter counter;
    bar.installEventFilter(&counter);

    bar.setMax(2000);
    for (int value = 0; value <= bar.Max(); ++value)
        bar.setValue(value);
    QCOMPARE(counter.paints, 0);
    QCOMPARE(bar.Value(), 2000);
    bar.setValue(2001); // beyond the maximum: ignored, as the bar itself ignores it
    QCOMPARE(bar.Value(), 2000);
    // The last value shows once the event loop turns.
    QCoreApplication::processEvents();
    QCOMPARE(bar.value(), 2000);
    bar.setMax(100);
    QCOMPARE(bar.Value(), -1);
}

void ToolkitTest::sliderRefusesMaximumBelowZero()
{
    QWidget parent;
    toolkit::Slider slider(&parent);
    slider.setMax(65000);
    QCOMPARE(failingNumber([&] { slider.setMax(-1); }), pellin::failure::InvalidPropertyValue);
    QCOMPARE(slider.Max(), 65000);
    slider.setMax(0);
    QCOMPARE(slider.Max(), 0);
    slider.setSelStart(1234);
    QCOMPARE(slider.SelStart(), 1234);
}

void ToolkitTest::formSlotLoadsUnloadsAndReloads()
{
    QVERIFY(!firstSlot.Loaded());
    First &first = firstSlot();
    QVERIFY(firstSlot.Loaded());
    QCOMPARE(&firstSlot(), &first); // one instance per name
    secondSlot();
    QCOMPARE(journal(), (std::vector<QString>{"load First", "load Second"}));
    std::vector<toolkit::Form *> loaded = toolkit::loadedForms();
    QCOMPARE(loaded.size(), 2u);
    QCOMPARE(loaded[0]->Name(), QString("First"));
    QCOMPARE(loaded[1]->Name(), QString("Second"));

    first.Unload();
    QVERIFY(!firstSlot.Loaded());
    QCOMPARE(journal().back(), QString("unload First"));
    QCOMPARE(toolkit::loadedForms().size(), 1u);

    firstSlot();
    QCOMPARE(journal().back(), QString("load First"));
    loaded = toolkit::loadedForms();
    QCOMPARE(loaded.size(), 2u);
    QCOMPARE(loaded[0]->Name(), QString("Second")); // reloaded windows go to the end
    QCOMPARE(loaded[1]->Name(), QString("First"));
}

void ToolkitTest::cancelledUnloadKeepsWindow()
{
    First &first = firstSlot();
    first.refuse = true;
    first.Unload();
    QVERIFY(firstSlot.Loaded());
    QCOMPARE(journal().back(), QString("unload First"));
    first.refuse = false;
    firstSlot.Unload();
    QVERIFY(!firstSlot.Loaded());
}

// A window has one owner: when Qt deletes an owner window without an unload, the window it owns
// goes with it, and neither slot holds on to a deleted window.
void ToolkitTest::anOwnerDeletedByQtTakesItsOwnedWindowOnce()
{
    First &owner = firstSlot();
    Second &owned = secondSlot();
    owned.Show(&owner);
    const QPointer<QWidget> ownedWidget = &owned;
    delete &owner;
    QVERIFY(!ownedWidget);
    QVERIFY(!firstSlot.Loaded());
    QVERIFY(!secondSlot.Loaded());
    // The slot makes a fresh window on the next use.
    secondSlot().Show();
    QVERIFY(secondSlot.Loaded() && secondSlot().Visible());
}

void ToolkitTest::ownedWindowsUnloadWithOwner()
{
    First &owner = firstSlot();
    Second &owned = secondSlot();
    owner.Show();
    owned.Show(&owner);
    QCOMPARE(owned.Owner(), &owner);
    QVERIFY(owned.Visible());

    owner.Unload();
    QVERIFY(!firstSlot.Loaded());
    QVERIFY(!secondSlot.Loaded());
    QCOMPARE(journal(),
             (std::vector<QString>{"load First", "load Second", "unload First", "unload Second"}));
    QVERIFY(toolkit::loadedForms().empty());
    // Both deferred deletions run without touching a window twice.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Hiding an owned window keeps it loaded.
    firstSlot().Show();
    secondSlot().Show(&firstSlot());
    secondSlot().Hide();
    QVERIFY(secondSlot.Loaded());
    QVERIFY(!secondSlot().Visible());
}

void ToolkitTest::closeBoxUnloadsUnlessRemoved()
{
    firstSlot().Show();
    firstSlot().close();
    QVERIFY(!firstSlot.Loaded());
    QCOMPARE(journal().back(), QString("unload First"));

    Second &second = secondSlot();
    second.setCloseBox(false);
    second.Show();
    second.close();
    QVERIFY(secondSlot.Loaded());
}

void ToolkitTest::messageBoxSeam()
{
    std::vector<toolkit::MessageBoxCall> calls;
    toolkit::setMessageBoxHandler([&](const toolkit::MessageBoxCall &call) {
        calls.push_back(call);
        return toolkit::vbNo;
    });
    const int answer =
        toolkit::MsgBox("Install now?", toolkit::vbYesNo | toolkit::vbExclamation, "Title v1");
    QCOMPARE(answer, toolkit::vbNo);
    QCOMPARE(calls.size(), 1u);
    QCOMPARE(calls[0].prompt, QString("Install now?"));
    QCOMPARE(calls[0].style, 4 + 48);
    QCOMPARE(calls[0].title, QString("Title v1"));
}

void ToolkitTest::pushedLookStaysUntilReleased()
{
    QWidget window;
    toolkit::CommandButton button(&window);
    button.setCaption("Playlist");
    button.Move(0, 0, 1275, 375);
    window.show();
    button.setFocus();
    const QImage normal = button.grab().toImage();

    button.setState(true);
    QVERIFY(button.State());
    // Another window taking the focus leaves the look alone.
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &other);
    QVERIFY(button.State());
    const QImage pushed = button.grab().toImage();
    QVERIFY(pushed != normal);

    button.setState(false);
    QVERIFY(!button.State());
    QVERIFY(button.grab().toImage() != pushed);
}

void ToolkitTest::menuCheckMarkIsTheProgramsOnly()
{
    toolkit::MenuItem item("&Expanded", nullptr);
    int clicks = 0;
    item.onClick([&] { ++clicks; });
    item.setChecked(true);
    item.trigger();
    QCOMPARE(clicks, 1);
    QVERIFY(item.Checked());
    item.setChecked(false);
    item.trigger();
    QCOMPARE(clicks, 2);
    QVERIFY(!item.Checked());
    item.click();
    QCOMPARE(clicks, 3);
    QVERIFY(!item.Checked());
}

void ToolkitTest::timerTicks()
{
    toolkit::Timer timer;
    int ticks = 0;
    timer.onTimer([&] { ++ticks; });
    QVERIFY(!timer.Enabled());
    timer.setInterval(4000);
    QCOMPARE(timer.Interval(), 4000);
    timer.tick();
    QCOMPARE(ticks, 1);

    // An enabled timer fires from the event loop; a one-shot handler switches it off.
    timer.onTimer([&] {
        ++ticks;
        timer.setEnabled(false);
    });
    timer.setInterval(5);
    timer.setEnabled(true);
    QVERIFY(timer.Enabled());
    QTRY_COMPARE(ticks, 2);
    QVERIFY(!timer.Enabled());
    QTest::qWait(30);
    QCOMPARE(ticks, 2);
}

void ToolkitTest::failureInHandlerIsReportedAndLoopGoesOn()
{
    QVERIFY(qobject_cast<toolkit::Application *>(QCoreApplication::instance()));
    std::vector<std::pair<int, QString>> reports;
    toolkit::setFailureReporter(
        [&](int number, const QString &description) { reports.emplace_back(number, description); });
    bool laterRan = false;
    QTimer::singleShot(0, [] { throw pellin::Failure(53, "File not found"); });
    QTimer::singleShot(0, [] { throw std::runtime_error("plain failure"); });
    QTimer::singleShot(0, [&] { laterRan = true; });
    QTRY_VERIFY(laterRan);
    toolkit::setFailureReporter({});
    QCOMPARE(reports.size(), 2u);
    QCOMPARE(reports[0].first, 53);
    QCOMPARE(reports[0].second, QString("File not found"));
    QCOMPARE(reports[1].first, -1);
    QCOMPARE(reports[1].second, QString("plain failure"));
}

// A handler that fails for every event of every control: Qt emits the control's signal and the
// failure must reach the reporter, never the code that emitted the signal.
void ToolkitTest::everyControlEventRunsItsHandlerThroughTheWrapper()
{
    std::vector<int> reported;
    toolkit::setFailureReporter([&](int number, const QString &) { reported.push_back(number); });
    const auto fail = [] { throw pellin::Failure(pellin::failure::InvalidPropertyValue); };

    struct Thrower : toolkit::Form {
        Thrower() : toolkit::Form(QStringLiteral("Thrower")) {}
        void Form_Resize() override
        {
            throw pellin::Failure(pellin::failure::InvalidPropertyValue);
        }
        void Form_KeyPress(int &) override
        {
            throw pellin::Failure(pellin::failure::InvalidPropertyValue);
        }
    };
    QWidget parent;
    toolkit::CommandButton button(&parent);
    button.onClick(fail);
    toolkit::MenuItem item(QStringLiteral("&Open"), &parent);
    item.onClick(fail);
    toolkit::Toolbar toolbar(&parent);
    toolbar.addButton(QStringLiteral("play"), QStringLiteral("play"), QStringLiteral("Play"));
    toolbar.onButtonClick([&](toolkit::ToolbarButton &) { fail(); });
    toolkit::ListView list(&parent);
    list.addColumn(QStringLiteral("Name"), 1500);
    list.Add(QStringLiteral("k"), QStringLiteral("Row"), QString());
    list.onClick(fail);
    list.onColumnClick([&](int) { fail(); });
    toolkit::Slider slider(&parent);
    slider.onScroll(fail);
    toolkit::Timer timer;
    timer.onTimer(fail);
    Thrower form;
    form.setUnloader(fail);

    const std::vector<std::pair<const char *, std::function<void()>>> events{
        {"button click", [&] { button.click(); }},
        {"menu entry", [&] { item.trigger(); }},
        {"toolbar button", [&] { toolbar.Buttons(QStringLiteral("play")).action().trigger(); }},
        {"list row click", [&] { emit list.clicked(list.model()->index(0, 0)); }},
        {"column header click", [&] { emit list.header()->sectionClicked(0); }},
        {"slider scroll",
         [&] {
             slider.triggerAction(QAbstractSlider::SliderSingleStepAdd);
             QCoreApplication::processEvents();
         }},
        {"timer tick",
         [&] {
             timer.setInterval(1);
             timer.setEnabled(true);
             QTRY_VERIFY(!reported.empty());
             timer.setEnabled(false);
         }},
        {"close box", [&] { form.close(); }},
        {"window state", [&] { form.setWindowState(1); }},
        {"key press", [&] { QTest::keyClick(&form, Qt::Key_Escape); }},
    };
    for (const auto &[name, event] : events) {
        reported.clear();
        try {
            event();
        } catch (...) {
            QFAIL(qPrintable(QStringLiteral("the failure escaped the handler of the %1")
                                 .arg(QLatin1String(name))));
        }
        QVERIFY2(!reported.empty() && reported.front() == pellin::failure::InvalidPropertyValue,
                 name);
    }
    toolkit::setFailureReporter({});
}

// A test's reset puts the handle numbering back where the process starts it, but never gives a
// number that a living widget still holds.
void ToolkitTest::resetNumbersHandlesAgainOnlyWhenNoneIsHeld()
{
    long long first = 0;
    {
        QWidget widget;
        first = toolkit::handleOf(&widget);
        toolkit::resetState();
        QWidget next;
        QVERIFY(toolkit::handleOf(&next) != first);
        QCOMPARE(toolkit::widgetOf(first), &widget);
    }
    toolkit::resetState();
    QWidget again;
    QCOMPARE(toolkit::handleOf(&again), 0x10001);
    toolkit::resetState(); // held: the number stays in use
    QCOMPARE(toolkit::widgetOf(0x10001), &again);
}

int main(int argc, char **argv)
{
    toolkit::Application app(argc, argv);
    ToolkitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_toolkit.moc"
