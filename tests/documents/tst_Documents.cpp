#include "common/modGlobals.h"
#include "player/frmAbout.h"
#include "player/frmMain.h"
#include "shell/ShellRecorder.h"
#include "shell/ShellRoute.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Colors.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Units.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

#include <optional>
#include <vector>

using namespace modGlobals;

namespace
{

const QString kReaderText =
    QStringLiteral("Adobe Acrobat Reader is required for documentation and support.\r\n\r\n"
                   "Please install it from acrobat reader from the help menu selection.");

toolkit::MenuItem &entry(frmMain &main, const QString &name)
{
    const QMap<QString, toolkit::MenuItem *> entries = {
        {"mnuOnTop", &main.mnuOnTop},         {"mnuPellinSite", &main.mnuPellinSite},
        {"mnuBuyVideos", &main.mnuBuyVideos}, {"mnuMailingList", &main.mnuMailingList},
        {"mnuPellinLab", &main.mnuPellinLab}, {"mnuUserManual", &main.mnuUserManual},
        {"mnuSupport", &main.mnuSupport},     {"mnuInstallAdobe", &main.mnuInstallAdobe},
        {"mnuOrderForm", &main.mnuOrderForm}, {"mnuLicense", &main.mnuLicense},
        {"mnuAbout", &main.mnuAbout},
    };
    Q_ASSERT(entries.contains(name));
    return *entries.value(name);
}

shell::Call webCall(const QString &address)
{
    return {shell::Opening::Document, QString(),        address, QString(),
            QDir::rootPath(),         shell::ShowNormal};
}

shell::Call addressCall(const QString &verb, const QString &file)
{
    return {shell::Opening::Document, verb, file, QString(), QString(), shell::ShowNormal};
}

shell::Call programCall(const QString &file)
{
    return {shell::Opening::Program, "open", file, QString(), QString(), shell::ShowNormal};
}

} // namespace

Q_DECLARE_METATYPE(shell::Call)

// Stands in for the desktop's handler of file URLs: what the real shell hands over arrives here.
class DesktopHandler : public QObject
{
    Q_OBJECT
  public:
    DesktopHandler() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~DesktopHandler() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> opened;
  public slots:
    void open(const QUrl &url) { opened << url; }
};

class DocumentsTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void webEntries_data();
    void webEntries();
    void documentEntries_data();
    void documentEntries();
    void installReaderOpensDocumentsFromThenOn();
    void installerThatCannotRunIsRefusedQuietly();
    void emptyCourseRootLooksOnTheRoot();
    void documentFoundWhateverItsLetterCase();
    void executableDocumentsAreShownNotRun_data();
    void executableDocumentsAreShownNotRun();

    void alwaysOnTopTogglesWithCheckMark();
    void alwaysOnTopOnHiddenWindowKeepsItHidden();

    void aboutShowsDesignedBox();
    void aboutShownTwiceIsOneWindowBroughtForward();
    void aboutLinks_data();
    void aboutLinks();
    void aboutOkUnloadsAndNextShowStartsAfresh();
    void aboutCloseBoxUnloads();
    void aboutClosesWithEsc();

  private:
    frmMain &main() { return forms::frmMain(); }
    // The course lies in the fixture's folder, as the start-up names it.
    QString courseRoot() const { return f->folder().toLower() + "/course disc"; }
    std::optional<support::WindowFixture> f;
};

// The shell is recorded unless a case stops it.
void DocumentsTest::init()
{
    f.emplace();
    QVERIFY(f->valid());
    f->shell.emplace();
    gMediaRoot = courseRoot();
    main().Show();
}

void DocumentsTest::cleanup()
{
    f.reset();
}

void DocumentsTest::webEntries_data()
{
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<bool>("readerInstalled");
    QTest::addColumn<shell::Call>("expected");

    for (const bool reader : {false, true}) {
        const char *const suffix = reader ? " (Reader)" : " (no Reader)";
        QTest::addRow("home page%s", suffix)
            << "mnuPellinSite" << reader << webCall("http://www.vorlund.example/");
        QTest::addRow("store%s", suffix)
            << "mnuBuyVideos" << reader << webCall("http://www.vorlund.example/store/");
        QTest::addRow("mailing list%s", suffix)
            << "mnuMailingList" << reader << webCall("http://www.vorlund.example/mailinglist.htm");
        QTest::addRow("virtual lab%s", suffix)
            << "mnuPellinLab" << reader << webCall("http://www.vorlund.example/lab/");
        QTest::addRow("support page%s", suffix)
            << "mnuSupport" << reader << addressCall(QString(), "www.vorlund.example\\support.htm");
    }
}

// The web entries need no Reader: each opens its page and nothing else.
void DocumentsTest::webEntries()
{
    QFETCH(QString, entryName);
    QFETCH(bool, readerInstalled);
    QFETCH(shell::Call, expected);
    gReaderInstalled = readerInstalled;

    entry(main(), entryName).trigger();

    QCOMPARE(f->shell->calls(), std::vector<shell::Call>{expected});
    QVERIFY(f->boxes.empty());
    QCOMPARE(gReaderInstalled, readerInstalled);
}

void DocumentsTest::documentEntries_data()
{
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<bool>("readerInstalled");
    QTest::addColumn<QString>("verb");
    // A file starting with "/" lies in the course folder, which each case has anew.
    QTest::addColumn<QString>("file");

    for (const bool reader : {false, true}) {
        const char *const suffix = reader ? " (Reader)" : " (no Reader)";
        QTest::addRow("user manual%s", suffix) << "mnuUserManual" << reader << "open"
                                               << "/manual.pdf";
        QTest::addRow("licence%s", suffix) << "mnuLicense" << reader << "open"
                                           << "/license_agreement.pdf";
        QTest::addRow("order form%s", suffix)
            << "mnuOrderForm" << reader << QString() << "www.vorlund.example\\order_form.pdf";
    }
}

// With the Reader a document entry opens its document; without it the student is told to
// install the Reader and nothing is opened.
void DocumentsTest::documentEntries()
{
    QFETCH(QString, entryName);
    QFETCH(bool, readerInstalled);
    QFETCH(QString, verb);
    QFETCH(QString, file);
    if (file.startsWith(u'/'))
        file.prepend(courseRoot());
    gReaderInstalled = readerInstalled;

    entry(main(), entryName).trigger();

    if (readerInstalled) {
        QCOMPARE(f->shell->calls(), std::vector<shell::Call>{addressCall(verb, file)});
        QVERIFY(f->boxes.empty());
        return;
    }
    QVERIFY(f->shell->calls().empty());
    QCOMPARE(f->boxes.size(), std::size_t(1));
    QCOMPARE(f->boxes[0].prompt, kReaderText);
    QCOMPARE(f->boxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
    QCOMPARE(f->boxes[0].title, QStringLiteral("Vorlund - IT Certification Videos v2.1.0"));
    QVERIFY(!gReaderInstalled);
}

// Whatever the installer does (it may be cancelled), the documents open from then on.
void DocumentsTest::installReaderOpensDocumentsFromThenOn()
{
    main().mnuInstallAdobe.trigger();

    const QString root = courseRoot();
    QCOMPARE(f->shell->calls(), std::vector<shell::Call>{programCall(root + "/bin/ar500enu.exe")});
    QVERIFY(gReaderInstalled);
    QVERIFY(f->boxes.empty());

    main().mnuUserManual.trigger();
    main().mnuOrderForm.trigger();
    main().mnuLicense.trigger();
    QVERIFY(f->boxes.empty());
    const std::vector<shell::Call> expected = {
        programCall(root + "/bin/ar500enu.exe"), addressCall("open", root + "/manual.pdf"),
        addressCall(QString(), "www.vorlund.example\\order_form.pdf"),
        addressCall("open", root + "/license_agreement.pdf")};
    QCOMPARE(f->shell->calls(), expected);
}

// The Windows installer cannot run here: the real shell refuses it without a word, and the
// entry behaves as it does everywhere else.
void DocumentsTest::installerThatCannotRunIsRefusedQuietly()
{
    f->shell.reset();
    const QString disc = f->filePath("Course Disc");
    QVERIFY(QDir().mkpath(disc + "/BIN"));
    QFile installer(disc + "/BIN/AR500ENU.EXE");
    QVERIFY(installer.open(QIODevice::WriteOnly));
    installer.write("MZ");
    installer.close();
    QVERIFY(installer.setPermissions(installer.permissions() | QFile::ExeOwner));

    const shell::Call call = programCall(gMediaRoot + "/bin/ar500enu.exe");
    const shell::Action action = shell::route(call);
    QCOMPARE(action.kind, shell::Action::Kind::Refuse);
    QCOMPARE(action.refusal, shell::result::BadFormat);

    main().mnuInstallAdobe.trigger();
    QVERIFY(f->boxes.empty());
    QVERIFY(gReaderInstalled);
    QVERIFY(installer.remove());
}

void DocumentsTest::emptyCourseRootLooksOnTheRoot()
{
    gMediaRoot.clear();
    gReaderInstalled = true;

    main().mnuUserManual.trigger();
    main().mnuLicense.trigger();
    main().mnuInstallAdobe.trigger();

    const std::vector<shell::Call> expected = {addressCall("open", "/manual.pdf"),
                                               addressCall("open", "/license_agreement.pdf"),
                                               programCall("/bin/ar500enu.exe")};
    QCOMPARE(f->shell->calls(), expected);
}

// The player asks for the lower-case path it builds; the shell opens the file as it lies on the
// disc.
void DocumentsTest::documentFoundWhateverItsLetterCase()
{
    const QString disc = f->filePath("Course Disc");
    QVERIFY(QDir().mkpath(disc));
    QFile manual(disc + "/Manual.PDF");
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.write("%PDF-1.4\n");
    manual.close();
    gReaderInstalled = true;

    main().mnuUserManual.trigger();

    QCOMPARE(f->shell->calls().size(), std::size_t(1));
    const shell::Action action = shell::route(f->shell->calls()[0]);
    QCOMPARE(action.kind, shell::Action::Kind::OpenUrl);
    QCOMPARE(action.url, QUrl::fromLocalFile(QFileInfo(manual).absoluteFilePath()));
    QVERIFY(manual.remove());
}

void DocumentsTest::executableDocumentsAreShownNotRun_data()
{
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("script"); // else a copy of a native program
    QTest::newRow("user manual, a script") << "mnuUserManual"
                                           << "manual.pdf" << true;
    QTest::newRow("licence, a program") << "mnuLicense"
                                        << "license_agreement.pdf" << false;
}

// A disc may mark every file executable; a course document that is really a script or a program
// is asked for as a document and handed to the desktop's handler, never started.
void DocumentsTest::executableDocumentsAreShownNotRun()
{
    QFETCH(QString, entryName);
    QFETCH(QString, name);
    QFETCH(bool, script);
    const QString disc = f->filePath("Course Disc");
    QVERIFY(QDir().mkpath(disc));
    const QString document = disc + "/" + name;
    const QString ran = f->filePath("ran");
    if (script) {
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\ntouch '" + QFile::encodeName(ran) + "'\n");
        file.close();
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
    } else {
        QVERIFY(QFile::copy(QStandardPaths::findExecutable("true"), document));
    }
    QVERIFY(QFileInfo(document).isExecutable());
    gReaderInstalled = true;

    entry(main(), entryName).trigger();
    QCOMPARE(f->shell->calls(),
             std::vector<shell::Call>{addressCall("open", courseRoot() + "/" + name)});
    const shell::Action action = shell::route(f->shell->calls()[0]);
    QCOMPARE(action.kind, shell::Action::Kind::OpenUrl);
    QCOMPARE(action.url, QUrl::fromLocalFile(document));

    // The real shell, up to the desktop's handler.
    f->shell.reset();
    DesktopHandler desktop;
    entry(main(), entryName).trigger();
    QCOMPARE(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(document)});
    QVERIFY(!QFile::exists(ran));
    QVERIFY(f->boxes.empty());
}

void DocumentsTest::alwaysOnTopTogglesWithCheckMark()
{
    frmMain &window = main();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.mnuOnTop.isCheckable());
    QVERIFY(!window.mnuOnTop.Checked());
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const WId native = window.winId();

    window.mnuOnTop.trigger();
    QVERIFY(window.mnuOnTop.Checked());
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.isVisible());
    // Only the z-order changes: same native window, same flags otherwise.
    QCOMPARE(window.winId(), native);
    QVERIFY(window.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));

    window.mnuOnTop.trigger();
    QVERIFY(!window.mnuOnTop.Checked());
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.isVisible());
    QCOMPARE(window.winId(), native);
    QVERIFY(f->shell->calls().empty());
}

void DocumentsTest::alwaysOnTopOnHiddenWindowKeepsItHidden()
{
    frmMain &window = main();
    window.Hide();

    window.mnuOnTop.trigger();
    QVERIFY(window.mnuOnTop.Checked());
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!window.isVisible());

    window.Show();
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void DocumentsTest::aboutShowsDesignedBox()
{
    frmMain &owner = main();
    owner.mnuAbout.trigger();

    QVERIFY(forms::frmAboutLoaded());
    frmAbout &about = forms::frmAbout();
    QVERIFY(about.isVisible());
    QCOMPARE(about.Caption(), QStringLiteral("Vorlund - IT Certification Videos - About"));
    QCOMPARE(about.Owner(), &owner);
    QCOMPARE(about.parentWidget(), &owner);
    QVERIFY(about.isWindow());
    QVERIFY(f->shell->calls().empty());

    // A fixed dialog without minimise or maximise button.
    QCOMPARE(about.ScaleWidth(), frmAbout::kClientWidth);
    QCOMPARE(about.ScaleHeight(), frmAbout::kClientHeight);
    QCOMPARE(about.minimumSize(), about.maximumSize());
    QVERIFY(!about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    // Centred over its owner.
    QCOMPARE(about.Left(), toolkit::toTwipsX(owner.x()) + (owner.Width() - about.Width()) / 2);
    QCOMPARE(about.Top(), toolkit::toTwipsY(owner.y()) + (owner.Height() - about.Height()) / 2);

    QCOMPARE(about.picLogo.pixmap().size(), QSize(130, 128));
    QCOMPARE(about.lblTitle.text(), QStringLiteral("Vorlund Media Player"));
    QCOMPARE(about.lblSubtitle.text(), QStringLiteral("- IT Certification Videos -"));
    QCOMPARE(about.lblVersion.text(), QStringLiteral("Version 2.1.0"));
    QVERIFY(about.lblTitle.font().bold());
    QCOMPARE(about.lblTitle.font().pointSize(), 9);
    for (QLabel *label : {&about.lblTitle, &about.lblSubtitle, &about.lblVersion, &about.lblNotice})
        QCOMPARE(label->palette().color(QPalette::WindowText), toolkit::colorOf(0x800000));
    QCOMPARE(about.lblPelWebSite.text(), QStringLiteral("www.vorlund.example"));
    QCOMPARE(about.lblPellinLab.text(), QStringLiteral("www.vorlund.example/lab"));
    QCOMPARE(about.lblEmail.text(), QStringLiteral("support@vorlund.example"));
    for (LinkLabel *link : {&about.lblPelWebSite, &about.lblPellinLab, &about.lblEmail}) {
        QCOMPARE(link->palette().color(QPalette::WindowText), toolkit::colorOf(0xFF0000));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }
    QCOMPARE(about.cmdOK.Caption(), QStringLiteral("&OK"));
}

void DocumentsTest::aboutShownTwiceIsOneWindowBroughtForward()
{
    frmMain &owner = main();
    owner.mnuAbout.trigger();
    frmAbout *first = &forms::frmAbout();
    QVERIFY(QTest::qWaitForWindowExposed(first));
    // The student moves the box and goes back to the main window.
    first->setLeft(first->Left() + 300);
    const int movedLeft = first->Left();
    owner.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(&owner));

    owner.mnuAbout.trigger();

    QCOMPARE(&forms::frmAbout(), first);
    QCOMPARE(support::loadedCount("frmAbout"), 1);
    QVERIFY(first->isVisible());
    QCOMPARE(first->Left(), movedLeft);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(first));
}

void DocumentsTest::aboutLinks_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<shell::Call>("expected");

    QTest::newRow("web site") << "lblPelWebSite" << webCall("http://www.vorlund.example/");
    QTest::newRow("virtual lab") << "lblPellinLab" << webCall("http://www.vorlund.example/lab/");
    QTest::newRow("e-mail") << "lblEmail"
                            << addressCall(QString(), "mailto:support@vorlund.example");
}

// The links answer a click of the mouse; the box stays open.
void DocumentsTest::aboutLinks()
{
    QFETCH(QString, label);
    QFETCH(shell::Call, expected);
    main().mnuAbout.trigger();
    frmAbout &about = forms::frmAbout();
    QMap<QString, LinkLabel *> links = {{"lblPelWebSite", &about.lblPelWebSite},
                                        {"lblPellinLab", &about.lblPellinLab},
                                        {"lblEmail", &about.lblEmail}};

    QTest::mouseClick(links.value(label), Qt::LeftButton);

    QCOMPARE(f->shell->calls(), std::vector<shell::Call>{expected});
    QVERIFY(forms::frmAboutLoaded());
    QVERIFY(about.isVisible());
    QVERIFY(f->boxes.empty());
}

void DocumentsTest::aboutOkUnloadsAndNextShowStartsAfresh()
{
    main().mnuAbout.trigger();
    QPointer<frmAbout> first = &forms::frmAbout();
    const int designedLeft = first->Left();
    first->setLeft(designedLeft + 450);

    QTest::mouseClick(&first->cmdOK, Qt::LeftButton);
    QVERIFY(!forms::frmAboutLoaded());
    QCOMPARE(support::loadedCount("frmAbout"), 0);
    support::flushDeletes();
    QVERIFY(first.isNull());

    main().mnuAbout.trigger();
    QVERIFY(forms::frmAboutLoaded());
    QCOMPARE(forms::frmAbout().Left(), designedLeft);
    QVERIFY(forms::frmAbout().isVisible());
}

void DocumentsTest::aboutCloseBoxUnloads()
{
    main().mnuAbout.trigger();
    QVERIFY(forms::frmAboutLoaded());

    forms::frmAbout().close();

    QVERIFY(!forms::frmAboutLoaded());
    QVERIFY(main().isVisible());
}

// Esc closes the box as every dialog of the desktop closes; other keys leave it open.
void DocumentsTest::aboutClosesWithEsc()
{
    main().mnuAbout.trigger();
    frmAbout &about = forms::frmAbout();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::keyClick(&about, Qt::Key_A);
    QVERIFY(forms::frmAboutLoaded());
    QTest::keyClick(&about.cmdOK, Qt::Key_Escape);
    QVERIFY(!forms::frmAboutLoaded());
    QVERIFY(main().isVisible());
}

QTEST_MAIN(DocumentsTest)
#include "tst_Documents.moc"
