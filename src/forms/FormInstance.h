// Each of the program's windows exists at most once: created and filled on first use,
// discarded when closed, so the next use reads the record afresh.
#pragma once

#include <QPointer>
#include <QWidget>

namespace quelvane {

template <class Form>
class FormInstance {
public:
    // The loaded window, loading it (and so running its Form_Load) if it is not.
    static Form *Get()
    {
        if (!form_) {
            form_ = new Form();
            form_->Form_Load();
        }
        return form_;
    }

    static Form *IfLoaded() { return form_; }
    static bool IsLoaded() { return !form_.isNull(); }

    // Discards the window; does nothing when it is not loaded.
    static void Unload()
    {
        Form *form = form_;
        form_ = nullptr;
        delete form;
    }

    // For a window closed by its own close box: forget it now, delete it once its event ends.
    static void Forget(Form *form)
    {
        if (form_ == form)
            form_ = nullptr;
        form->deleteLater();
    }

private:
    static inline QPointer<Form> form_;
};

} // namespace quelvane
