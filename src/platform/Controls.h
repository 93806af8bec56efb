// A form's controls as data: every window lists its controls in one table of `Control` rows
// (name, caption, twips rectangle, font, colours, tab index), and `BuildControls` turns the
// table into widgets at their places.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <span>

#include "platform/Twips.h"

class QLineEdit;
class QWidget;

namespace quelvane {

enum class ControlKind {
    Label,         // a caption or text; takes no focus
    TextBox,       // an editable one-line box; its caption is its accessible name
    CommandButton, // Enter and Space press it while it has the focus
    Picture,       // a picture stretched to its rectangle; reports clicks
    Line,          // a horizontal rule from (left, top), `border` pixels thick
};

inline constexpr Font kDefaultFont = SansSerif(8.25);

inline constexpr int kNoTab = -1;

struct Control {
    ControlKind kind = ControlKind::Label;
    const char *name = nullptr;
    const char *caption = nullptr; // as designed: "&" marks an access key, "&&" is one "&"
    TwipsRect rect = {};
    int tabIndex = kNoTab; // its place in the Tab order, 0 first
    Font font = kDefaultFont;
    Align alignment = Align::Left;
    ControlColour text = {};
    ControlColour background = {};
    unsigned style = Plain; // ControlStyle bits, for labels
    int border = 1;         // a Line's thickness in pixels
};

// A command button as designed, its place in the Tab order `tabIndex`.
constexpr Control Button(const char *name, const char *caption, TwipsRect rect, int tabIndex,
                         Font font = kDefaultFont)
{
    return {.kind = ControlKind::CommandButton, .name = name, .caption = caption, .rect = rect,
            .tabIndex = tabIndex, .font = font};
}

// Creates the controls as children of `form`, in table order. Tab goes through those with a
// tab index in its order, and the focus starts on the lowest.
void BuildControls(QWidget *form, std::span<const Control> controls);

// The control of that name on `form`, of the expected type.
template <class Widget>
Widget *FindControl(const QWidget *form, const char *name)
{
    auto *widget = form->findChild<Widget *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    Q_ASSERT_X(widget, "FindControl", name);
    return widget;
}

// The button of that name on `form`, its clicks running `handler`.
template <class Form>
QPushButton *ConnectButton(Form *form, const char *name, void (Form::*handler)())
{
    QPushButton *button = FindControl<QPushButton>(form, name);
    QObject::connect(button, &QPushButton::clicked, form, handler);
    return button;
}

// A label caption as designed: "&&" is one "&", a lone "&" marks no letter (labels here have
// no buddy), and nothing is ever read as rich text.
QString LabelCaptionText(const QString &designedCaption);

// Text and background of a label, box or window through its palette (never style sheets,
// which cascade into children).
void SetColors(QWidget *widget, const QColor &text, const QColor &background);

// The picture control: its pixmap stretched to fill it.
class PictureBox final : public QLabel {
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace quelvane
