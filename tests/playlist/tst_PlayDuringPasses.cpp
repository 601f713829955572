// Playing a playlist entry lets pending events run several times before the video plays; what
// those events do to the selection decides what plays. On the simulated engine with the
// simulated course.
#include "common/modGlobals.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "session/MediaControls.h"
#include "support/SimulatedCourse.h"
#include "support/WindowFixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using namespace modGlobals;
namespace course = support::course;

namespace
{

enum class Interference { None, ClickOnRow, ZeroTimer, DownKey, DownAndEnter };

// Does `what` inside the `pass`-th pass over the pending events after it is armed (pass 0: at
// once): it posts itself again from every pass, and events posted during a pass wait for the
// next one.
class DuringPass : public QObject
{
  public:
    DuringPass(int pass, std::function<void()> what) : mLeft(pass), mWhat(std::move(what)) {}
    void arm()
    {
        if (mLeft == 0)
            mWhat();
        else
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }
    bool done() const { return mLeft == 0; }

  protected:
    void customEvent(QEvent *) override
    {
        if (--mLeft == 0)
            mWhat();
        else
            arm();
    }

  private:
    int mLeft;
    std::function<void()> mWhat;
};

void sendClick(QWidget *viewport, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &release);
}

void sendKey(QWidget *widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}

} // namespace

Q_DECLARE_METATYPE(Interference)

class tst_PlayDuringPasses : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;

  private slots:
    void init()
    {
        f.emplace();
        support::loadSimulatedCourse(*f);
    }
    void cleanup() { f.reset(); }

    void theEntrySelectedAfterTheLastPassPlays_data()
    {
        QTest::addColumn<Interference>("interference");
        QTest::addColumn<int>("pass");
        QTest::addColumn<QString>("played");
        QTest::newRow("nothing happens") << Interference::None << 1 << course::kModule;
        QTest::newRow("click on another row, first pass")
            << Interference::ClickOnRow << 1 << course::kLong;
        QTest::newRow("click on the intro, after the open")
            << Interference::ClickOnRow << 2 << course::kIntro;
        QTest::newRow("click on another row, last pass")
            << Interference::ClickOnRow << 5 << course::kLong;
        QTest::newRow("zero timer started with the click plays another entry")
            << Interference::ZeroTimer << 0 << course::kLong;
        // Started in the first pass, the timer runs in the pass after the open.
        QTest::newRow("zero timer plays the intro, after the open")
            << Interference::ZeroTimer << 1 << course::kIntro;
        QTest::newRow("Down moves the selection, first pass")
            << Interference::DownKey << 1 << course::kLong;
        QTest::newRow("Down moves the selection, after the open")
            << Interference::DownKey << 2 << course::kLong;
        QTest::newRow("Down moves the selection, last pass")
            << Interference::DownKey << 5 << course::kLong;
        QTest::newRow("Down and Enter, first pass")
            << Interference::DownAndEnter << 1 << course::kLong;
    }

    void theEntrySelectedAfterTheLastPassPlays()
    {
        QFETCH(Interference, interference);
        QFETCH(int, pass);
        QFETCH(QString, played);
        frmMain &main = forms::frmMain();
        frmPlaylist &playlist = forms::frmPlaylist();
        main.cmdPList_Click(); // the playlist is shown, so its rows have a place on screen
        QVERIFY(playlist.isVisible());
        toolkit::ListView &list = playlist.lvPlaylist;
        list.findKey(course::kModule)->setSelected(true);
        QWidget *viewport = list.viewport();
        const QPoint row =
            list.visualRect(list.model()->index(list.findKey(played)->Index() - 1, 0)).center();
        QVERIFY(viewport->rect().contains(row));

        DuringPass during(pass, [&] {
            switch (interference) {
            case Interference::None:
                break;
            case Interference::ClickOnRow:
                sendClick(viewport, row);
                break;
            case Interference::ZeroTimer:
                QTimer::singleShot(0, &playlist, [played] { support::playEntry(played); });
                break;
            case Interference::DownKey:
                sendKey(&list, Qt::Key_Down);
                break;
            case Interference::DownAndEnter:
                sendKey(&list, Qt::Key_Down);
                sendKey(&list, Qt::Key_Return);
                break;
            }
        });
        during.arm();
        playlist.lvPlaylist_Click();
        QVERIFY(during.done());

        const auto selected = list.SelectedItem();
        QVERIFY(selected);
        QCOMPARE(selected->Key(), played);
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), played);
        QCOMPARE(list.findKey(played)->ForeColor(), frmPlaylist::kCurrentColour);
        const bool intro = played == course::kIntro;
        QCOMPARE(list.findKey(course::kIntro)->ForeColor(),
                 intro ? frmPlaylist::kCurrentColour : frmPlaylist::kIntroColour);
        for (const QString &other : {course::kModule, course::kLong})
            if (other != played)
                QCOMPARE(list.findKey(other)->ForeColor(), frmPlaylist::kNormalColour);
        QCOMPARE(main.Width(), intro ? frmMain::kSmallWidth : frmMain::kLargeWidth);
        QCOMPARE(main.sldVideo.isHidden(), intro);
        QCOMPARE(main.sbStatus.Panels(1).Text(), selected->Text());
        QCOMPARE(session::mediaControls().state().title, selected->Text());
        QCOMPARE(main.tlbMain.Buttons("play").Image(), QString("pause"));
        QVERIFY(main.tmrMediaScroller.Enabled());
        const std::int32_t before = gMCI->GetCurrentMultimediaPos();
        f->media->advance(500);
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), before + 500);
    }
};

QTEST_MAIN(tst_PlayDuringPasses)
#include "tst_PlayDuringPasses.moc"
