#pragma once

#include "shell/Shell.h"

#include <vector>

namespace shell
{

// Captures every shell call for the lifetime of the object and answers each with a fixed
// result; the real shell is back once it is destroyed.
class ShellRecorder
{
  public:
    explicit ShellRecorder(int answer = result::Started);
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder &) = delete;
    ShellRecorder &operator=(const ShellRecorder &) = delete;

    const std::vector<Call> &calls() const { return mCalls; }

  private:
    std::vector<Call> mCalls;
};

} // namespace shell
