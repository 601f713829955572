#include "shell/ShellRecorder.h"

namespace shell
{

ShellRecorder::ShellRecorder(int answer)
{
    setRecorder([this, answer](const Call &call) {
        mCalls.push_back(call);
        return answer;
    });
}

ShellRecorder::~ShellRecorder()
{
    setRecorder({});
}

} // namespace shell
