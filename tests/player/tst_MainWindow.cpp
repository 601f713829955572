#include "common/ListFile.h"
#include "common/TextLines.h"
#include "common/modGlobals.h"
#include "player/frmMain.h"
#include "player/frmSplash.h"
#include "playlist/frmPlaylist.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"
#include "toolkit/Units.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTest>

#include <optional>

using namespace modGlobals;

class MainWindowTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void designerStateBeforeFirstToggle();
    void toggleFlipsEveryMark();
    void menuEntriesToggle_data();
    void menuEntriesToggle();
    void stopForcesExpanded();
    void minimiseCollapsesAndRestoreKeepsHidden();
    void unloadClosesEverything();

  private:
    frmMain &started();
    void checkExpanded(bool expanded);

    std::optional<support::WindowFixture> f;
};

// Everything the start-up touches outside the program is scripted.
void MainWindowTest::init()
{
    f.emplace();
    QVERIFY(f->valid());
    f->useCourseFolder().writeIndex(
        {"\\intro.asf;Welcome;1:05", "\\m1.avi;Module 1;20:00", "\\m2.avi;Module 2;3:00"});
    f->scriptReaderKeys();
    f->recorder.emplace();
    f->shell.emplace();
}

void MainWindowTest::cleanup()
{
    f.reset();
}

// Runs the start-up as the program does: the splash window is the first thing created.
frmMain &MainWindowTest::started()
{
    forms::frmSplash();
    return forms::frmMain();
}

void MainWindowTest::checkExpanded(bool expanded)
{
    frmMain &main = forms::frmMain();
    QCOMPARE(main.cmdPList.Tag(), QString(expanded ? "0" : "1"));
    QCOMPARE(main.cmdPList.ToolTipText(),
             QString(expanded ? "Collapse playlist" : "Expand playlist"));
    QCOMPARE(main.cmdPList.State(), expanded);
    QCOMPARE(main.mnuExpanded.Checked(), expanded);
    QCOMPARE(main.mnuCollapse.Checked(), !expanded);
    QCOMPARE(forms::frmPlaylist().Visible(), expanded);
    if (expanded)
        QCOMPARE(forms::frmPlaylist().Owner(), &main);
}

void MainWindowTest::layout_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QRect>("video");
    QTest::addColumn<int>("sliderTop");
    QTest::addColumn<int>("sliderWidth");
    QTest::addColumn<int>("buttonLeft");
    QTest::addColumn<int>("statusWidth");
    // Outer size; the client area is 90 x 660 twips smaller.
    QTest::newRow("large window") << 9735 << 8730 << QRect(5, 420, 9645, 7270) << 7693 << 9642
                                  << 8715 << 6140;
    QTest::newRow("small window") << 5610 << 5150 << QRect(5, 420, 5520, 3690) << 4113 << 5517
                                  << 4590 << 2015;
}

void MainWindowTest::layout()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QRect, video);
    QFETCH(int, sliderTop);
    QFETCH(int, sliderWidth);
    QFETCH(int, buttonLeft);
    QFETCH(int, statusWidth);
    frmMain &main = started();
    // From the other size first, so every figure comes from this size.
    main.Move(main.Left(), main.Top(), width == 9735 ? 5610 : 9735, height == 8730 ? 5150 : 8730);
    main.Move(main.Left(), main.Top(), width, height);
    QCOMPARE(main.ScaleWidth(), width - 90);
    QCOMPARE(main.ScaleHeight(), height - 660);
    QCOMPARE(QRect(main.picVideo.Left(), main.picVideo.Top(), main.picVideo.Width(),
                   main.picVideo.Height()),
             video);
    QCOMPARE(main.sldVideo.Top(), sliderTop);
    QCOMPARE(main.sldVideo.Width(), sliderWidth);
    QCOMPARE(main.sldVideo.Left(), 0);
    QCOMPARE(main.cmdPList.Left(), buttonLeft);
    QCOMPARE(main.cmdPList.Top(), 40);
    QCOMPARE(main.sbStatus.Width(), statusWidth);
    QCOMPARE(main.sbStatus.Left(), 2565);
    // The status bar ends 10 twips left of the Playlist button.
    QCOMPARE(main.sbStatus.Left() + main.sbStatus.Width() + 10, main.cmdPList.Left());
}

void MainWindowTest::designerStateBeforeFirstToggle()
{
    frmMain &main = started();
    QCOMPARE(main.cmdPList.Caption(), QString("Playlist"));
    QCOMPARE(main.cmdPList.Tag(), QString("1"));
    QCOMPARE(main.cmdPList.ToolTipText(), QString("Collapse playlist"));
    QVERIFY(main.mnuExpanded.Checked());
    QVERIFY(!main.mnuCollapse.Checked());
    QVERIFY(!forms::frmPlaylist().Visible());
}

void MainWindowTest::toggleFlipsEveryMark()
{
    frmMain &main = started();
    main.cmdPList_Click();
    QVERIFY(!main.tmrInitPlaylist.Enabled());
    checkExpanded(true);
    main.cmdPList_Click();
    checkExpanded(false);
    // Collapsing only hides: the list stays.
    QVERIFY(toolkit::loadedForms().size() == 2);
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 3);
    main.cmdPList.click(); // the button itself
    checkExpanded(true);
}

void MainWindowTest::menuEntriesToggle_data()
{
    QTest::addColumn<bool>("throughCollapsed");
    QTest::newRow("View > Playlist > Collapsed") << true;
    QTest::newRow("View > Playlist > Expanded") << false;
}

void MainWindowTest::menuEntriesToggle()
{
    QFETCH(bool, throughCollapsed);
    frmMain &main = started();
    toolkit::MenuItem &entry = throughCollapsed ? main.mnuCollapse : main.mnuExpanded;
    entry.trigger();
    checkExpanded(true);
    entry.trigger();
    checkExpanded(false);
    // Collapsed while already collapsed shows the playlist.
    main.mnuCollapse.trigger();
    checkExpanded(true);
}

void MainWindowTest::stopForcesExpanded()
{
    frmMain &main = started();
    main.cmdPList_Click();
    main.cmdPList.setTag("1");
    main.cmdPList_Click();
    checkExpanded(true);
}

void MainWindowTest::minimiseCollapsesAndRestoreKeepsHidden()
{
    frmMain &main = started();
    main.tmrInitPlaylist.tick();
    checkExpanded(true);
    main.setWindowState(1);
    checkExpanded(false);
    main.setWindowState(0);
    QCOMPARE(main.WindowState(), 0);
    checkExpanded(false);
    QCOMPARE(main.picVideo.Width(), 9645);
    QCOMPARE(main.picVideo.Height(), 7270);
}

void MainWindowTest::unloadClosesEverything()
{
    frmMain &main = started();
    main.tmrInitPlaylist.tick();
    forms::frmPlaylist().lvPlaylist.Item(2).setSelected(true);
    gKeepPlaylist = true;
    const QPointer<frmMain> mainWindow(&main);
    f->recorder->clear();

    main.mnuExit_Click();

    QVERIFY(toolkit::loadedForms().empty());
    const QStringList commands = f->recorder->commands();
    QCOMPARE(commands.size(), 2);
    QVERIFY(commands.contains("Stop movie"));
    QVERIFY(commands.contains("Close All"));
    QCOMPARE(commands[0], QString("Stop movie"));
    // The caption colour is removed before the window goes.
    QVERIFY(mainWindow);
    QVERIFY(!mainWindow->cmdPList.property("VBTCustom").isValid());
    // The playlist's own unload ran: the carry-over file holds the list.
    const QString carryOver = pellin::carryOverPath(GetTempFolder());
    QVERIFY(QFile::exists(carryOver));
    QCOMPARE(pellin::readListFile(carryOver).entries.size(), 3);
    QCOMPARE(gSelectedKey, support::CourseFolder::keyOf(QDir::toNativeSeparators("/m1.avi")));

    support::flushDeletes();
    QVERIFY(!mainWindow);
    QVERIFY(toolkit::loadedForms().empty());
}

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
