#include "player/frmSplash.h"

#include "common/CourseIndex.h"
#include "common/modGlobals.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "shell/Shell.h"
#include "system/PathResolver.h"
#include "toolkit/Environment.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QElapsedTimer>
#include <QFrame>

using namespace modGlobals;

namespace
{

// How long the index may be read into the playlist before pending window events run, in ms.
constexpr qint64 kEventSliceMs = 15;
// The clock is read once per so many entries: an entry takes a fraction of a microsecond, so
// reading it for each would be a good part of the work.
constexpr qsizetype kEntriesPerClockRead = 64;
// The shell's answers above this one mean that what it was asked to start runs.
constexpr int kShellStarted = 32;

toolkit::FormSlot<frmSplash> &splashSlot()
{
    static toolkit::FormSlot<frmSplash> slot;
    return slot;
}

void probeReader()
{
    if (RegKeyExists("Software\\Adobe") != 0)
        return;
    for (const char *key :
         {"Software\\Adobe\\Acrobat Reader", "Software\\Adobe\\Acrobat", "Software\\Adobe\\Reader"})
        if (RegKeyExists(key) == 0)
            gReaderInstalled = true;
}

QLabel &styled(QLabel &label, const QString &text, const QString &family, int points, bool bold)
{
    label.setText(text);
    QFont font(family);
    font.setPointSize(points);
    font.setBold(bold);
    label.setFont(font);
    return label;
}

} // namespace

frmSplash::frmSplash()
    : toolkit::Form(QStringLiteral("frmSplash")), picLogo(client()), lblBrand(client()),
      lblProduct(client()), lblWebSite(client()), lblNotice(client()), prbSplash(client())
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setCaption(QStringLiteral("Vorlund"));
    picLogo.setBackColor(0x00400000);
    picLogo.Move(240, 240, 1440, 1440);
    styled(lblBrand, "Vorlund", "Tahoma", 28, true).setGeometry(130, 16, 300, 50);
    styled(lblProduct, "Media Player", "Tahoma", 16, false).setGeometry(130, 66, 300, 30);
    styled(lblWebSite, "www.vorlund.example", "Tahoma", 8, false).setGeometry(130, 110, 300, 20);
    styled(lblNotice, "IT certification training videos. All rights reserved.", "Tahoma", 7, false)
        .setGeometry(16, 150, 420, 20);
    for (int y : {104, 106, 140, 142}) {
        auto *line = new QFrame(client()); // owned by the window
        line->setFrameShape(QFrame::HLine);
        line->setGeometry(130, y, 310, 1);
    }
    prbSplash.setGeometry(16, 180, 424, 12);
    Move(0, 0, 6840 + toolkit::frameWidthTwips(), 3000 + toolkit::frameHeightTwips());
}

void frmSplash::Form_Load()
{
    Trap([this] {
        gMediaRoot = GetMediaRoot(toolkit::AppPath()).toLower();
        probeReader();
        if (!gReaderInstalled) {
            const int answer = toolkit::MsgBox(
                "Adobe Acrobat Reader is required for documentation and support "
                "functionality.\r\n\r\nWould you like to install Adobe Acrobat Reader 5.0 now?",
                toolkit::vbYesNo | toolkit::vbExclamation, kAppTitle);
            // The start-up ends only for an installer that runs: where nothing could start it
            // (a Windows installer on this system, or none on the course), the player goes on,
            // with the question answered for this start.
            if (answer == toolkit::vbYes &&
                shell::open(shell::Opening::Program, "open", gMediaRoot + "/bin/ar500enu.exe", {},
                            {}, shell::ShowNormal) > kShellStarted) {
                Unload();
                return;
            }
        }
        setLeft((toolkit::screenWidth() - Width()) / 2);
        setTop((toolkit::screenHeight() - Height()) / 2);
        Show();
        toolkit::DoEvents();
        prbSplash.setMax(2000);
        forms::frmMain();
        forms::frmPlaylist();
        readCourseIndex();
        for (int value = 0; value <= prbSplash.Max(); ++value)
            prbSplash.setValue(value);
        Unload();
        forms::frmMain().Show();
        forms::frmMain().tmrInitPlaylist.setEnabled(true);
    });
}

// Reads the course index into the playlist. Lines that cannot be used are skipped and reported
// in one box, so a damaged index never keeps the student from the rest of the course.
void frmSplash::readCourseIndex()
{
    // Started from the desktop's menu the installed player has no course: the student gets an
    // empty playlist for files of their own, and nothing is missing that needs a report.
    if (pellin::isInstalledWithoutCourse(toolkit::AppPath(), gMediaRoot))
        return;
    pellin::CourseIndex index = pellin::readCourseIndex(gMediaRoot);
    QStringList problems = index.problems;
    frmMain &main = forms::frmMain();
    for (const pellin::CourseCaption &caption : index.captions) {
        main.setCaption(caption.appendTo(main.Caption()));
        SetButtonTextColor(main.cmdPList.hWnd(), 0x00800000, DT_VCENTER);
        try {
            // The picture's name is in the index's letter case, the course root lower case.
            main.picVideo.LoadPicture(
                QString::fromStdString(sys::resolvePath(caption.picture.toStdString())));
        } catch (const pellin::Failure &failure) {
            problems << QStringLiteral("the course picture %1: %2")
                            .arg(caption.picture, QString::fromStdString(failure.description()));
        }
    }
    frmPlaylist &playlist = forms::frmPlaylist();
    // Pending events run often enough to keep the splash painting, but not after every entry:
    // with a large course that costs more than the entries themselves.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    {
        const toolkit::ListView::Fill fill(playlist.lvPlaylist, index.entries.size());
        qsizetype added = 0;
        for (pellin::CourseEntry &entry : index.entries) {
            toolkit::ListItem item = playlist.lvPlaylist.Add(
                std::move(entry.key), std::move(entry.title), frmPlaylist::EntryIcon());
            item.setSubItem(1, std::move(entry.length));
            if (++added % kEntriesPerClockRead == 0 && sinceEvents.hasExpired(kEventSliceMs)) {
                toolkit::DoEvents();
                sinceEvents.restart();
            }
            if (entry.intro)
                item.setForeColor(frmPlaylist::kIntroColour);
        }
    }
    if (!problems.isEmpty())
        ReportError(0, pellin::skippedLinesReport(problems, gMediaRoot));
}

namespace forms
{
::frmSplash &frmSplash()
{
    return splashSlot()();
}
bool frmSplashLoaded()
{
    return splashSlot().Loaded();
}
} // namespace forms
