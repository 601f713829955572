#pragma once

#include <QApplication>

#include <functional>

namespace toolkit
{

// The application object with the one top-level catch of the event dispatch: a failure that
// escapes a handler is reported and the event loop goes on.
class Application : public QApplication
{
    Q_OBJECT
  public:
    Application(int &argc, char **argv);

    using Reporter = std::function<void(int number, const QString &description)>;
    void setReporter(Reporter reporter) { mReporter = std::move(reporter); }

    bool notify(QObject *receiver, QEvent *event) override;

  private:
    Reporter mReporter;
};

} // namespace toolkit
