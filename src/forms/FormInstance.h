// Each of the program's windows exists at most once: created and filled on first use,
// discarded when closed, so the next use reads the record afresh.
#pragma once

#include <QPointer>
#include <QWidget>

namespace quelvane {

// A window that shows the record declares `static constexpr int kCloseOrder`: Generate and
// Load close every such window, lowest first, before the record changes. Windows register
// themselves while they are loaded, so no list of them is kept by hand.
template <class Form>
constexpr int CloseOrder()
{
    if constexpr (requires { Form::kCloseOrder; })
        return Form::kCloseOrder;
    else
        return -1; // kept across a new record
}
void RegisterLoadedForm(int closeOrder, void (*unload)());
void UnregisterLoadedForm(void (*unload)());

template <class Form>
class FormInstance {
public:
    // The loaded window, loading it (and so running its Form_Load) if it is not.
    static Form *Get()
    {
        if (!form_) {
            form_ = new Form();
            RegisterLoadedForm(CloseOrder<Form>(), &Unload);
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
        UnregisterLoadedForm(&Unload);
        delete form;
    }

    // For a window closed by its own close box: forget it now, delete it once its event ends.
    static void Forget(Form *form)
    {
        if (form_ == form) {
            form_ = nullptr;
            UnregisterLoadedForm(&Unload);
        }
        form->deleteLater();
    }

private:
    static inline QPointer<Form> form_;
};

} // namespace quelvane
