#include "CourseDocuments.h"

#include "SavedFile.h"

#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <limits>
#include <stdexcept>

namespace demo
{

namespace
{

// Flows headings, paragraphs and two-column rows down A4 pages, starting a new page when the
// next block would not fit.
class PdfText
{
  public:
    PdfText(QPdfWriter &writer, const QString &title) : m_writer(writer)
    {
        m_writer.setTitle(title);
        m_writer.setCreator(QStringLiteral("Pellin demo course generator"));
        m_writer.setResolution(300);
        m_writer.setPageSize(QPageSize(QPageSize::A4));
        m_writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        if (!m_painter.begin(&m_writer))
            throw std::runtime_error("cannot start a PDF document: " + title.toStdString());
        m_page = m_writer.pageLayout().paintRectPixels(m_writer.resolution());
        m_page.moveTo(0, 0);
    }

    void title(const QString &text) { block(text, font(20, true), Qt::AlignLeft, 2); }
    void heading(const QString &text) { block(text, font(13, true), Qt::AlignLeft, 1); }
    void paragraph(const QString &text) { block(text, font(10.5, false), Qt::AlignLeft, 1); }

    void row(const QString &left, const QString &right)
    {
        const QFont rowFont = font(10.5, false);
        m_painter.setFont(rowFont);
        const int height = m_painter.fontMetrics().height();
        makeRoom(height);
        m_painter.drawText(QRect(0, m_y, m_page.width() * 4 / 5, height), Qt::AlignLeft, left);
        m_painter.drawText(QRect(0, m_y, m_page.width(), height), Qt::AlignRight, right);
        m_y += height;
    }

    void finish()
    {
        if (!m_painter.end())
            throw std::runtime_error("cannot finish the PDF document");
    }

  private:
    static QFont font(double points, bool bold)
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }

    // Space after a block, in lines of its own font.
    void block(const QString &text, const QFont &blockFont, int alignment, int linesAfter)
    {
        m_painter.setFont(blockFont);
        const int flags = alignment | Qt::TextWordWrap;
        const QRect bounds = m_painter.boundingRect(
            QRect(0, 0, m_page.width(), std::numeric_limits<int>::max() / 2), flags, text);
        makeRoom(bounds.height());
        m_painter.drawText(QRect(0, m_y, m_page.width(), bounds.height()), flags, text);
        m_y += bounds.height() + linesAfter * m_painter.fontMetrics().height() / 2;
    }

    void makeRoom(int height)
    {
        if (m_y > 0 && m_y + height > m_page.height()) {
            m_writer.newPage();
            m_y = 0;
        }
    }

    QPdfWriter &m_writer;
    QPainter m_painter;
    QRect m_page;
    int m_y = 0;
};

template <typename Fill> void writePdf(const QString &file, const QString &title, Fill fill)
{
    SavedFile out(file);
    {
        QPdfWriter writer(&out.device());
        PdfText text(writer, title);
        fill(text);
        text.finish();
    }
    out.commit();
}

} // namespace

void writeManual(const Course &course, const QString &file)
{
    writePdf(file, course.name + QStringLiteral(" - User Manual"), [&course](PdfText &text) {
        text.title(course.name + QStringLiteral("\nUser Manual"));
        text.heading(QStringLiteral("Starting the course"));
        text.paragraph(QStringLiteral(
            "Start PellinPlayer from the bin folder of the course. The main window opens with the "
            "course picture; a few seconds later the playlist window lists the course's videos."));
        text.heading(QStringLiteral("Playing a video"));
        text.paragraph(QStringLiteral(
            "Click a title in the playlist to play it. The toolbar pauses and resumes, stops, and "
            "jumps five seconds back or ahead; the slider below the picture moves to any point of "
            "the video. The status bar shows the position and the length."));
        text.paragraph(QStringLiteral(
            "Intros (grey titles) play in a small window. The welcome message is on the Pellins "
            "menu."));
        text.heading(QStringLiteral("Full screen"));
        text.paragraph(QStringLiteral(
            "The Full button or View > Full Screen shows the video on the whole screen with a "
            "small tools bar. Esc returns to the window; Ctrl+T brings the tools bar back."));
        text.heading(QStringLiteral("Your own playlists"));
        text.paragraph(QStringLiteral(
            "Add videos from your disk to the playlist, remove or reorder them, and save the list "
            "as a .pel file to open it again later."));
        text.heading(QStringLiteral("Course contents"));
        for (const Video &video : course.entries)
            text.row(video.title, lengthText(video.seconds));
    });
}

void writeLicenseAgreement(const Course &course, const QString &file)
{
    writePdf(file, course.name + QStringLiteral(" - License Agreement"), [&course](PdfText &text) {
        text.title(QStringLiteral("License Agreement"));
        text.paragraph(course.name +
                       QStringLiteral(" is a demonstration course generated on your computer "
                                      "to try the course player."));
        text.heading(QStringLiteral("1. Use"));
        text.paragraph(QStringLiteral(
            "You may play, copy, share and change the videos, pictures and documents of this "
            "demonstration course for any purpose."));
        text.heading(QStringLiteral("2. No warranty"));
        text.paragraph(QStringLiteral(
            "The course and the player are provided as they are, without warranty of any kind. "
            "In no event shall the authors be liable for any claim or damage arising from their "
            "use."));
        text.heading(QStringLiteral("3. Third parties"));
        text.paragraph(QStringLiteral(
            "The course contains no material of third parties: its pictures and sound are "
            "synthesised when the course is generated."));
    });
}

} // namespace demo
