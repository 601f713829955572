#pragma once

#include <QApplication>

namespace toolkit
{

// The application object with the last-resort catch of the event dispatch: a failure that
// escapes anyway (every handler already runs through runHandler) is reported through the failure
// reporter and the event loop goes on.
class Application : public QApplication
{
    Q_OBJECT
  public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace toolkit
