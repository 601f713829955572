#include "player/frmAbout.h"

#include "common/modGlobals.h"
#include "player/VendorLinks.h"
#include "toolkit/Colors.h"
#include "toolkit/Forms.h"
#include "toolkit/Units.h"

#include <QPainter>
#include <QPixmap>

#include <cstdint>

using namespace modGlobals;

namespace
{

constexpr std::uint32_t kDarkBlue = 0x00800000;
constexpr std::uint32_t kLinkBlue = 0x00FF0000;
constexpr std::uint32_t kLogoBackColour = 0x00400000;
constexpr QSize kLogoSize(130, 128);

void place(QWidget &widget, int left, int top, int width, int height)
{
    widget.setGeometry(toolkit::toPixelsX(left), toolkit::toPixelsY(top), toolkit::toPixelsX(width),
                       toolkit::toPixelsY(height));
}

void setTextColour(QWidget &widget, std::uint32_t colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, toolkit::colorOf(colour));
    widget.setPalette(palette);
}

QFont tahoma(int points, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

void styleLabel(QLabel &label, const QString &text, std::uint32_t colour, const QFont &font,
                Qt::Alignment alignment)
{
    label.setText(text);
    label.setFont(font);
    label.setAlignment(alignment | Qt::AlignVCenter);
    setTextColour(label, colour);
}

// Etched: a dark line with a light one just below it.
void styleSeparator(QFrame &line)
{
    line.setFrameShape(QFrame::HLine);
    line.setFrameShadow(QFrame::Sunken);
}

// The box's picture is drawn rather than shipped, so no image file has to travel with the program.
QPixmap logoPicture()
{
    QPixmap picture(kLogoSize);
    picture.fill(toolkit::colorOf(kLogoBackColour));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawEllipse(QRect(QPoint(0, 0), kLogoSize).adjusted(12, 12, -12, -12));
    painter.setFont(tahoma(48, true));
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("V"));
    return picture;
}

} // namespace

frmAbout::frmAbout()
    : toolkit::Form(QStringLiteral("frmAbout")), picLogo(client()), lblTitle(client()),
      lblSubtitle(client()), linTitle(client()), lblVersion(client()), linVersion(client()),
      lblPelWebSite(client()), lblPellinLab(client()), lblEmail(client()), linBottom(client()),
      lblNotice(client()), cmdOK(client())
{
    setCaption(QStringLiteral("Vorlund - IT Certification Videos - About"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    picLogo.setPixmap(logoPicture());
    picLogo.setAlignment(Qt::AlignCenter);
    place(picLogo, 0, 0, 2010, 1980);

    const QFont heading = tahoma(9, true);
    const QFont body = tahoma(8, false);
    styleLabel(lblTitle, QStringLiteral("Vorlund Media Player"), kDarkBlue, heading,
               Qt::AlignHCenter);
    place(lblTitle, 2040, 120, 2460, 240);
    styleLabel(lblSubtitle, QStringLiteral("- IT Certification Videos -"), kDarkBlue, heading,
               Qt::AlignHCenter);
    place(lblSubtitle, 2040, 360, 2460, 240);
    styleSeparator(linTitle);
    place(linTitle, 2100, 700, 2340, 30);
    styleLabel(lblVersion, QStringLiteral("Version 2.1.0"), kDarkBlue, body, Qt::AlignHCenter);
    place(lblVersion, 2040, 800, 2460, 240);
    styleSeparator(linVersion);
    place(linVersion, 2100, 1120, 2340, 30);

    styleLabel(lblPelWebSite, vendor::kHostName, kLinkBlue, body, Qt::AlignHCenter);
    place(lblPelWebSite, 2040, 1220, 2460, 225);
    lblPelWebSite.onClick([this] { lblPelWebSite_Click(); });
    styleLabel(lblPellinLab, vendor::kHostName + QStringLiteral("/lab"), kLinkBlue, body,
               Qt::AlignHCenter);
    place(lblPellinLab, 2040, 1460, 2460, 225);
    lblPellinLab.onClick([this] { lblPellinLab_Click(); });
    styleLabel(lblEmail, vendor::kSupportEmail, kLinkBlue, body, Qt::AlignHCenter);
    place(lblEmail, 2040, 1700, 2460, 225);
    lblEmail.onClick([this] { lblEmail_Click(); });

    styleSeparator(linBottom);
    place(linBottom, 0, 2010, kClientWidth, 30);
    styleLabel(lblNotice, QStringLiteral("Copyright \u00A9 Vorlund. All rights reserved."),
               kDarkBlue, body, Qt::AlignLeft);
    place(lblNotice, 120, 2160, 3120, 255);

    cmdOK.setCaption(QStringLiteral("&OK"));
    cmdOK.Move(3360, 2100, 1095, 375);
    cmdOK.onClick([this] { cmdOK_Click(); });

    Move(0, 0, kClientWidth + toolkit::frameWidthTwips(),
         kClientHeight + toolkit::frameHeightTwips());
    setFixedSize(size());
}

void frmAbout::CentreOver(const toolkit::Form &owner)
{
    // The owner's own position, wherever the student has moved it since it was placed.
    setLeft(toolkit::toTwipsX(owner.x()) + (owner.Width() - Width()) / 2);
    setTop(toolkit::toTwipsY(owner.y()) + (owner.Height() - Height()) / 2);
}

void frmAbout::cmdOK_Click()
{
    Unload();
}

// Esc closes the box as OK does, as every dialog on the desktop closes.
void frmAbout::Form_KeyPress(int &KeyAscii)
{
    constexpr int kEsc = 27;
    if (KeyAscii == kEsc)
        cmdOK_Click();
}

void frmAbout::lblPelWebSite_Click()
{
    Trap([] { vendor::openWebPage(vendor::kHomePage); });
}

void frmAbout::lblPellinLab_Click()
{
    Trap([] { vendor::openWebPage(vendor::kLabPage); });
}

void frmAbout::lblEmail_Click()
{
    Trap([] { vendor::writeSupportEmail(); });
}

namespace forms
{

namespace
{
toolkit::FormSlot<::frmAbout> &aboutSlot()
{
    static toolkit::FormSlot<::frmAbout> slot;
    return slot;
}
} // namespace

::frmAbout &frmAbout()
{
    return aboutSlot()();
}

bool frmAboutLoaded()
{
    return aboutSlot().Loaded();
}

} // namespace forms
