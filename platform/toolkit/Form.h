#pragma once

#include <QPointer>
#include <QWidget>

class QMenuBar;

#include <functional>

namespace toolkit
{

// A top-level window with load/unload, geometry in twips (outer size = client size plus the fixed
// frame allowance), window state 0 normal / 1 minimised / 2 maximised, an owner it stays above and
// closes with, and key presses delivered as character codes.
class Form : public QWidget
{
    Q_OBJECT
  public:
    // A window with a menu bar keeps its controls in a client area below it.
    explicit Form(const QString &name, bool hasMenuBar = false);
    ~Form() override;

    const QString &Name() const { return mName; }

    virtual void Form_Load() {}
    virtual void Form_Unload(int &cancel) { (void)cancel; }
    virtual void Form_Resize() {}
    virtual void Form_KeyPress(int &keyAscii) { (void)keyAscii; }

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }

    int WindowState() const;
    void setWindowState(int state);

    int Left() const { return mLeft; }
    int Top() const { return mTop; }
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, int top, int width, int height);
    int ScaleWidth() const;
    int ScaleHeight() const;

    void Show(Form *owner = nullptr);
    void Hide() { hide(); }
    bool Visible() const { return isVisible(); }
    Form *Owner() const { return mOwner; }

    int MousePointer() const { return mMousePointer; }
    void setMousePointer(int pointer);

    long long hWnd();

    // The client area that holds the controls; below the menu bar when there is one. The menu
    // bar sits in the frame allowance, outside the client size.
    QWidget *client() const { return mClient; }
    void setMenuBar(QMenuBar *menuBar);

    // A window without a working close box is hidden by the program, never closed by the user.
    void setCloseBox(bool enabled);

    // Unloads the window through whoever created it (see Forms); the close box does the same.
    void Unload();
    void setUnloader(std::function<void()> unloader) { mUnloader = std::move(unloader); }

  protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void applyGeometry();

    QString mName;
    QWidget *mClient;
    QMenuBar *mMenuBar = nullptr;
    bool mCloseBox = true;
    QPointer<Form> mOwner;
    std::function<void()> mUnloader;
    int mLeft = 0;
    int mTop = 0;
    int mWidth = 0;
    int mHeight = 0;
    int mMousePointer = 0;
    bool mApplying = false;
};

int frameWidthTwips();
int frameHeightTwips();

} // namespace toolkit
