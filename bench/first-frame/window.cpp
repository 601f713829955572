// The reference of the first-frame benchmark: a Qt program that shows one window of the main
// window's size and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setObjectName(QStringLiteral("trivial"));
    window.setWindowTitle(QStringLiteral("Trivial"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
