#pragma once

#include "toolkit/Form.h"

#include <QPointer>

#include <vector>

namespace toolkit
{

// The loaded windows in the order they were loaded (the toolkit's Forms collection).
std::vector<Form *> loadedForms();
void registerForm(Form *form);
void unregisterForm(Form *form);

// Unloads every loaded window owned by `owner` (owned windows close with their owner).
void unloadOwnedBy(Form *owner);

// One instance of a window per name: created and loaded on first use, destroyed by Unload and
// created anew on the next use. The window has one owner, Qt's object tree: the slot only names
// it (a guarded pointer), Unload hands it to a deferred deletion, and an owner window that is
// deleted takes its owned windows with it, which the slot then sees as unloaded.
template <class T> class FormSlot
{
  public:
    T &operator()()
    {
        if (!mForm) {
            // Owned by Qt from here on: deleted by Unload (deferred) or with its owner window.
            mForm = new T;
            mForm->setUnloader([this] { Unload(); });
            registerForm(mForm.data());
            // Loading may unload the window again (the splash does): keep the object itself.
            T *form = mForm.data();
            form->Form_Load();
            return *form;
        }
        return *mForm;
    }

    // Windows still loaded when the program's statics go are left to the process's end: either
    // their toolkit is already gone, or the program is ending through exit() from inside the
    // toolkit (it does so when its X server goes away), and a window's teardown then runs into
    // the toolkit's own half-done state.
    ~FormSlot() = default;

    bool Loaded() const { return !mForm.isNull(); }

    // Runs Form_Unload, then destroys the window unless the handler cancelled.
    void Unload()
    {
        if (!mForm || mUnloading)
            return;
        mUnloading = true;
        int cancel = 0;
        try {
            mForm->Form_Unload(cancel);
        } catch (...) {
            mUnloading = false;
            throw;
        }
        mUnloading = false;
        if (cancel != 0 || !mForm)
            return;
        unloadOwnedBy(mForm.data());
        unregisterForm(mForm.data());
        T *gone = mForm.data();
        mForm.clear();
        gone->hide();
        gone->setUnloader({});
        // Deferred: the window may be unloading from inside one of its own events.
        gone->deleteLater();
    }

  private:
    QPointer<T> mForm;
    bool mUnloading = false;
};

} // namespace toolkit
