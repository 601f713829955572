#include "common/ButtonCaptions.h"

#include "toolkit/Colors.h"
#include "toolkit/CommandButton.h"
#include "toolkit/WindowHandles.h"

#include <QAbstractButton>
#include <QPainter>

namespace modGlobals
{
namespace
{

const char *const kExtBtnProc = "ExtBtnProc";
const char *const kCustom = "VBTCustom";
const char *const kForeColor = "VBTForeColor";
const char *const kVAlign = "VBTVAlign";

// The parent's side: every owner-draw request of a marked button gets its coloured caption.
class ButtonHook : public toolkit::DrawItemHook
{
  public:
    using toolkit::DrawItemHook::DrawItemHook;

    // Only buttons: another owner-drawn control carrying the mark is left as it was drawn.
    bool drawsCaption(const QWidget &button) const override
    {
        return qobject_cast<const QAbstractButton *>(&button) &&
               button.property(kCustom).toInt() == 1;
    }

    void drawItem(QWidget &button, QPainter &painter, QRect rect, int itemState) override
    {
        if (drawsCaption(button))
            DrawButtonText(button, painter, rect, itemState);
    }
};

// The hook is found through the toolkit's typed lookup; "ExtBtnProc" only marks the window as
// hooked, non-zero exactly while it is.
ButtonHook *hookOf(const QWidget &window)
{
    return dynamic_cast<ButtonHook *>(toolkit::drawItemHookOf(&window));
}

} // namespace

void HookButton(long long hwnd)
{
    QWidget *window = toolkit::widgetOf(hwnd);
    if (!window || hookOf(*window))
        return;
    auto *hook = new ButtonHook(window); // owned by the window: gone when the window is
    window->setProperty(kExtBtnProc, QVariant::fromValue(qulonglong{1}));
    toolkit::setDrawItemHook(*window, hook);
}

void UnhookButton(long long hwnd)
{
    QWidget *window = toolkit::widgetOf(hwnd);
    if (!window)
        return;
    ButtonHook *hook = hookOf(*window);
    if (!hook)
        return;
    toolkit::setDrawItemHook(*window, nullptr);
    window->setProperty(kExtBtnProc, QVariant());
    delete hook;
}

void SetButtonTextColor(long long hwndButton, std::uint32_t color, int alignment)
{
    QWidget *button = toolkit::widgetOf(hwndButton);
    if (!button || !button->parentWidget())
        return;
    QWidget *parent = button->parentWidget();
    if (!hookOf(*parent))
        HookButton(toolkit::handleOf(parent));
    button->setProperty(kCustom, 1);
    button->setProperty(kForeColor, QVariant::fromValue(color));
    button->setProperty(kVAlign, alignment);
    button->update();
}

void ClearButtonTextColor(long long hwndButton)
{
    QWidget *button = toolkit::widgetOf(hwndButton);
    if (!button)
        return;
    button->setProperty(kCustom, QVariant());
    button->setProperty(kForeColor, QVariant());
    button->setProperty(kVAlign, QVariant());
    button->update();
}

QRect CaptionRect(QRect rect, int alignment, int itemState)
{
    if (alignment == DT_BOTTOM)
        rect.setBottom(rect.bottom() - 4);
    if (itemState & toolkit::DrawItemHook::kSelected)
        rect.translate(1, 1);
    return rect;
}

void DrawButtonText(QWidget &button, QPainter &painter, QRect rect, int itemState)
{
    const int alignment = button.property(kVAlign).toInt();
    const auto *asButton = qobject_cast<QAbstractButton *>(&button);
    const QString caption = (asButton ? asButton->text() : button.windowTitle()).left(254);
    int flags = Qt::AlignHCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    flags |= alignment == DT_VCENTER  ? Qt::AlignVCenter
             : alignment == DT_BOTTOM ? Qt::AlignBottom
                                      : Qt::AlignTop;
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(toolkit::colorOf(button.property(kForeColor).toUInt()));
    painter.drawText(CaptionRect(rect, alignment, itemState), flags, caption);
    painter.restore();
}

} // namespace modGlobals
