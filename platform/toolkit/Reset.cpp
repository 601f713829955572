#include "toolkit/Reset.h"

#include "toolkit/Environment.h"
#include "toolkit/MessageBox.h"
#include "toolkit/WindowHandles.h"

namespace toolkit
{

void resetState()
{
    setMessageBoxHandler({});
    setAppPath({});
    resetHandles();
}

} // namespace toolkit
