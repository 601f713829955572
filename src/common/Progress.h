#pragma once

#include <QString>

#include <functional>

// Long work on the GUI thread (reading and listing a large playlist) tells how far it has come;
// the program shows it and keeps its windows drawn meanwhile.
namespace pellin
{

// Shows `what` at `percent` done; 100 ends the work.
using ProgressDisplay = std::function<void(const QString &what, int percent)>;
void setProgressDisplay(ProgressDisplay display);

// The steps of one piece of work: told only where there are at least `from` steps in all, and
// only when the percentage moves on. The end is told when the work is left, finished or not.
class ProgressSteps
{
  public:
    ProgressSteps(QString what, qint64 total, qint64 from);
    ~ProgressSteps();
    ProgressSteps(const ProgressSteps &) = delete;
    ProgressSteps &operator=(const ProgressSteps &) = delete;

    void at(qint64 done)
    {
        if (mTold && done >= mNext)
            tell(done);
    }

  private:
    void tell(qint64 done);

    QString mWhat;
    qint64 mTotal;
    qint64 mNext = 0;
    bool mTold;
};

} // namespace pellin
