#pragma once

#include "toolkit/Form.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>
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
// created anew on the next use.
template <class T> class FormSlot
{
  public:
    T &operator()()
    {
        if (!mForm) {
            mForm = std::make_unique<T>();
            mForm->setUnloader([this] { Unload(); });
            registerForm(mForm.get());
            // Loading may unload the window again (the splash does): keep the object itself.
            T *form = mForm.get();
            form->Form_Load();
            return *form;
        }
        return *mForm;
    }

    ~FormSlot()
    {
        // Windows still loaded when the program's statics go are left to the process's end:
        // their toolkit is already gone.
        if (!QCoreApplication::instance())
            (void)mForm.release();
    }

    bool Loaded() const { return mForm != nullptr; }

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
        unloadOwnedBy(mForm.get());
        unregisterForm(mForm.get());
        std::unique_ptr<T> gone = std::move(mForm);
        gone->hide();
        gone->setUnloader({});
        // Deferred: the window may be unloading from inside one of its own events.
        gone.release()->deleteLater();
    }

  private:
    std::unique_ptr<T> mForm;
    bool mUnloading = false;
};

} // namespace toolkit
