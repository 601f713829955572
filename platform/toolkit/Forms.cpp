#include "toolkit/Forms.h"

#include <algorithm>

namespace toolkit
{
namespace
{

std::vector<QPointer<Form>> &registry()
{
    static std::vector<QPointer<Form>> forms;
    return forms;
}

} // namespace

std::vector<Form *> loadedForms()
{
    std::vector<Form *> forms;
    for (const QPointer<Form> &form : registry())
        if (form)
            forms.push_back(form.data());
    return forms;
}

void registerForm(Form *form)
{
    registry().emplace_back(form);
}

void unregisterForm(Form *form)
{
    auto &forms = registry();
    forms.erase(std::remove_if(forms.begin(), forms.end(),
                               [form](const QPointer<Form> &f) { return !f || f == form; }),
                forms.end());
}

void unloadOwnedBy(Form *owner)
{
    for (Form *form : loadedForms()) {
        if (form->Owner() == owner) {
            form->Unload();
            // Owned windows are Qt children of their owner; detach so the owner's deletion
            // leaves the owned window's own deferred deletion to run.
            form->setParent(nullptr, form->windowFlags() | Qt::Window);
        }
    }
}

} // namespace toolkit
