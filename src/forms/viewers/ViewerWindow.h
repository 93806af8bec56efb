// What the three viewers share: a fixed black window with a close box, green captions
// beside editable boxes, and three buttons that hide it and show another window.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "forms/FormInstance.h"
#include "platform/RecordText.h"
#include "platform/Stacking.h"
#include "platform/Twips.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvane {

// Sizes every viewer's controls share.
constexpr int kViewerBoxWidth = 495;
constexpr int kViewerBoxHeight = 285;
constexpr int kViewerButtonWidth = 1815;
constexpr int kViewerButtonHeight = 495;

class ViewerWindow : public QWidget {
public:
    // Shows a window modeless and without an owner, loading it first if need be, and
    // brings it to the front with the focus.
    template <class Form>
    static Form *ShowForm()
    {
        Form *form = FormInstance<Form>::Get();
        BringToFront(form);
        return form;
    }

protected:
    ViewerWindow(const char *name, const QString &title, const TwipsRect &inside);

    // A right-aligned green caption for a box, named after it (txtPower: lblPower).
    QLabel *AddCaption(const char *boxName, const char *caption, const TwipsRect &rect,
                       const QFont &font, const QColor &background);
    // An editable box that carries its caption as its accessible name, so a screen reader
    // announces "Strength: 14" rather than an unnamed field.
    QLineEdit *AddBox(const char *name, const char *caption, const TwipsRect &rect);
    QPushButton *AddButton(const char *name, const char *caption, const TwipsRect &rect);

    // Tab moves through the named controls in this order.
    void SetTabChain(const std::vector<const char *> &names);

    // The navigation buttons: hide this window, then show the target.
    void HideAndShowMain();
    template <class Target>
    void HideAndShow()
    {
        hide();
        ShowForm<Target>();
    }

    void closeEvent(QCloseEvent *event) override;
    // Drops the program's reference to this window; it is deleted once its close ends.
    virtual void Forget() = 0;
};

} // namespace quelvane
