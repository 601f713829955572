// What a screen reader hears of the windows: every control a student can reach with the keyboard
// or click has a name, toolbar buttons are named by their tooltips and follow them, and the
// playlist's columns are named by their captions.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "mci/SimulatedMedia.h"
#include "player/frmAbout.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QSet>
#include <QTest>

#include <optional>

using namespace modGlobals;

namespace
{
const QString kModule = QStringLiteral("/course/videos/module1.avi");

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

QString describe(const QWidget *widget)
{
    return QString::fromLatin1(widget->metaObject()->className()) + " \"" + widget->objectName() +
           "\" in " + widget->window()->objectName();
}

// The controls of the window that take the focus or a click and have no name.
QStringList unnamedControls(QWidget &window)
{
    QStringList unnamed;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->isHidden() && !widget->isVisibleTo(&window))
            continue;
        const bool clickable = qobject_cast<QAbstractButton *>(widget) ||
                               qobject_cast<QAbstractSlider *>(widget) ||
                               qobject_cast<QAbstractItemView *>(widget);
        const bool focusable = widget->focusPolicy() != Qt::NoFocus;
        // The scroll bars and the viewports of scrolled views belong to their view.
        if (widget->objectName().startsWith(QLatin1String("qt_")) ||
            (widget->parentWidget() &&
             widget->parentWidget()->objectName().startsWith(QLatin1String("qt_scrollarea"))))
            continue;
        if ((clickable || focusable) && accessibleName(widget).trimmed().isEmpty())
            unnamed << describe(widget);
    }
    return unnamed;
}

} // namespace

class tst_Accessibility : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }

    QWidget *buttonOf(toolkit::Toolbar &bar, const char *key)
    {
        return bar.widgetForAction(&bar.Buttons(key).action());
    }

  private slots:
    void init()
    {
        f.emplace();
        f->simulateMedia().addFile(kModule, 60000, QSize(640, 480));
        gMediaRoot = QStringLiteral("/course");
        playlist().AddEntry(kModule, "Module 1", "1:00");
        main().Show();
    }

    void cleanup() { f.reset(); }

    void everyControlHasAName()
    {
        QCOMPARE(unnamedControls(main()), QStringList{});
        main().cmdPList_Click();
        QCOMPARE(unnamedControls(playlist()), QStringList{});
        playlist().lvPlaylist.findKey(kModule)->setSelected(true);
        playlist().lvPlaylist_Click();
        support::pressMain("full");
        QVERIFY(gFullScreen);
        QCOMPARE(unnamedControls(forms::frmFullScreen()), QStringList{});
        QCOMPARE(unnamedControls(forms::frmFullToolbar()), QStringList{});
        forms::frmFullScreen().LeaveFullScreen();
        support::flushDeletes();
        main().mnuAbout_Click();
        QVERIFY(forms::frmAboutLoaded());
        QCOMPARE(unnamedControls(forms::frmAbout()), QStringList{});
    }

    // A screen reader lists the windows: each is a frame, or a dialog for the About box, named
    // by its caption; the full-screen window, which has none, by what it is.
    void windowsAreFramesAndDialogsNamedByTheirCaptions()
    {
        struct Window {
            QWidget *window;
            QAccessible::Role role;
            QString name;
        };
        const auto check = [](const QList<Window> &windows) {
            for (const Window &w : windows) {
                QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w.window);
                QVERIFY2(face, qPrintable(w.window->objectName()));
                QCOMPARE(face->role(), w.role);
                QCOMPARE(face->text(QAccessible::Name), w.name);
            }
        };
        main().cmdPList_Click();
        check({{&main(), QAccessible::Window, main().Caption()},
               {&playlist(), QAccessible::Window, QStringLiteral("Pellin Playlist")}});
        QVERIFY(main().Caption().startsWith(QLatin1String("Vorlund - IT Certification Videos")));
        playlist().lvPlaylist.findKey(kModule)->setSelected(true);
        playlist().lvPlaylist_Click();
        support::pressMain("full");
        QVERIFY(gFullScreen);
        check({{&forms::frmFullScreen(), QAccessible::Window, QStringLiteral("Full screen")},
               {&forms::frmFullToolbar(), QAccessible::Window, forms::frmFullToolbar().Caption()}});
        QVERIFY(!forms::frmFullToolbar().Caption().isEmpty());
        forms::frmFullScreen().LeaveFullScreen();
        support::flushDeletes();
        main().mnuAbout_Click();
        QVERIFY(forms::frmAboutLoaded());
        check({{&forms::frmAbout(), QAccessible::Dialog, forms::frmAbout().Caption()}});
        QVERIFY(!forms::frmAbout().Caption().isEmpty());
    }

    // Tab goes through every button of the full-screen tools bar, as on the main toolbar.
    void everyToolsBarButtonIsReachedByTab()
    {
        playlist().lvPlaylist.findKey(kModule)->setSelected(true);
        playlist().lvPlaylist_Click();
        support::pressMain("full");
        toolkit::Toolbar &bar = forms::frmFullToolbar().tlbFullScreen;
        QSet<QWidget *> buttons;
        for (const char *key : {"normal", "play", "stop", "rewind", "forward", "playlist"}) {
            QWidget *button = buttonOf(bar, key);
            QVERIFY2(button->focusPolicy() & Qt::TabFocus, key);
            buttons.insert(button);
        }
        frmFullToolbar &tools = forms::frmFullToolbar();
        tools.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tools));
        buttonOf(bar, "normal")->setFocus(Qt::TabFocusReason);
        QSet<QWidget *> reached;
        for (int press = 0; press < 2 * int(buttons.size()); ++press) {
            if (buttons.contains(QApplication::focusWidget()))
                reached.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(reached, buttons);
    }

    // Named by the tooltip, also once the tooltip changes; the tooltip is the description too.
    void toolbarButtonsFollowTheirTooltips()
    {
        QWidget *play = buttonOf(main().tlbMain, "play");
        QCOMPARE(accessibleName(play), QStringLiteral("Play video"));
        QCOMPARE(accessibleName(buttonOf(main().tlbMain, "full")), QStringLiteral("Full screen"));
        QCOMPARE(accessibleName(buttonOf(playlist().tlbPlaylist, "dir_rec")),
                 QStringLiteral("Add directory and all subdirectories"));
        playlist().lvPlaylist.findKey(kModule)->setSelected(true);
        playlist().lvPlaylist_Click();
        QCOMPARE(accessibleName(play), QStringLiteral("Pause video"));
        QCOMPARE(QAccessible::queryAccessibleInterface(play)->text(QAccessible::Description),
                 QStringLiteral("Pause video"));
        support::pressMain("full");
        frmFullToolbar &bar = forms::frmFullToolbar();
        QCOMPARE(accessibleName(buttonOf(bar.tlbFullScreen, "play")),
                 QStringLiteral("Pause video"));
        support::pressMain("play");
        QCOMPARE(accessibleName(buttonOf(bar.tlbFullScreen, "play")), QStringLiteral("Play video"));
        QCOMPARE(accessibleName(play), QStringLiteral("Play video"));
        QCOMPARE(accessibleName(&bar.tlbFullScreen), QStringLiteral("Tools"));
    }

    void theDisplaysAndThePlaylistAreNamed()
    {
        QCOMPARE(accessibleName(&main().sldVideo), QStringLiteral("Position"));
        QCOMPARE(accessibleName(&main().tlbMain), QStringLiteral("Transport"));
        QList<QLabel *> panels = main().sbStatus.findChildren<QLabel *>();
        QCOMPARE(panels.size(), 2);
        // A panel is read by its text and described by what it shows.
        const auto description = [](QWidget *panel) {
            return QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Description);
        };
        QCOMPARE(description(panels[0]), QStringLiteral("Video"));
        QCOMPARE(accessibleName(panels[1]), QStringLiteral("00:00/00:00"));
        QCOMPARE(description(panels[1]), QStringLiteral("Position and length"));
        QCOMPARE(accessibleName(&playlist().lvPlaylist), QStringLiteral("Playlist"));
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&playlist().lvPlaylist);
        QAccessibleTableInterface *table = list->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->columnCount(), 2);
        QStringList columns;
        for (int column = 0; column < table->columnCount(); ++column)
            columns << table->columnDescription(column);
        QCOMPARE(columns, (QStringList{"Name", "Length"}));
    }
};

QTEST_MAIN(tst_Accessibility)
#include "tst_Accessibility.moc"
