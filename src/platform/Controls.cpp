#include "platform/Controls.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTextOption>

#include <algorithm>
#include <limits>
#include <optional>

#include "gui/Fonts.h"
#include "gui/SysColors.h"

namespace quelvane {
namespace {

// A label that wraps: at blanks, and anywhere in a word too long for a line (a path).
class WrappingLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter.setPen(palette().color(QPalette::WindowText));
        const int room = margin();
        painter.drawText(QRectF(contentsRect().adjusted(room, room, -room, -room)), text(), option);
        drawFrame(&painter);
    }
};

// A straight line of the form in one colour.
class LineControl final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), palette().color(QPalette::WindowText));
    }
};

// Text and background through the palette; a colour left out keeps the toolkit's.
void Recolour(QWidget *widget, std::optional<QColor> text, std::optional<QColor> background)
{
    if (!text && !background)
        return;
    QPalette palette = widget->palette();
    if (text) {
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, *text);
    }
    if (background) {
        for (auto role : {QPalette::Window, QPalette::Base})
            palette.setColor(role, *background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

std::optional<QColor> ColourOf(const ControlColour &colour)
{
    switch (colour.source) {
    case ControlColour::Fixed:
        return QColor::fromRgba(colour.argb);
    case ControlColour::System:
        return SystemColor(colour.system);
    case ControlColour::Unset:
        break;
    }
    return std::nullopt;
}

struct Colours {
    std::optional<QColor> text;
    std::optional<QColor> background;
};

// The designed pair, unless the fixed text colour on a scheme background is too close to it to
// be read (the green on a dark scheme's light "window text"): then the background is taken as
// the standard scheme has it, for this control alone.
Colours ReadableColours(const ControlColour &text, const ControlColour &background)
{
    Colours colours = {ColourOf(text), ColourOf(background)};
    if (text.source == ControlColour::Fixed && background.source == ControlColour::System
        && ContrastRatio(*colours.text, *colours.background) < kReadableContrast)
        colours.background = StandardSystemColor(background.system);
    return colours;
}

QLabel *MakeLabel(QWidget *form, const Control &entry)
{
    QLabel *label = entry.style & WordWrap ? new WrappingLabel(form) : new QLabel(form);
    label->setTextFormat(Qt::PlainText);
    label->setText(LabelCaptionText(QLatin1String(entry.caption)));
    label->setAlignment(HorizontalAlignment(entry.alignment) | Qt::AlignTop);
    label->setWordWrap(entry.style & WordWrap);
    label->setMargin(0);
    label->setIndent(0);
    if (entry.style & Border) {
        label->setFrameShape(QFrame::Box);
        label->setLineWidth(1);
        label->setContentsMargins(2, 1, 2, 1);
        // The frame is drawn around the contents: a pixel clear inside it, so no letter
        // touches it.
        label->setMargin(1);
    }
    return label;
}

QLineEdit *MakeTextBox(QWidget *form, const Control &entry)
{
    auto *box = new QLineEdit(form);
    box->setAlignment(HorizontalAlignment(entry.alignment) | Qt::AlignVCenter);
    box->setTextMargins(0, 0, 0, 0);
    // A box holds whatever the record holds; QLineEdit would cut texts at 32767 characters.
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setAccessibleName(LabelCaptionText(QLatin1String(entry.caption)).trimmed());
    return box;
}

// After the colours: the style draws a box's edge from its Window colour, so that keeps the
// desktop's face colour (or the edge vanishes into a black window) and only the inside is
// filled.
void KeepBoxEdgeVisible(QLineEdit *box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    box->setPalette(palette);
    box->setAutoFillBackground(false);
}

// A value wider than the box ("-32768") is set smaller rather than pushed off its edge.
void ShrinkTextToFit(QLineEdit *box)
{
    const QFont designed = box->font();
    QObject::connect(box, &QLineEdit::textChanged, box, [box, designed](const QString &text) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
        const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
        // QLineEdit keeps two pixels each side and one for the cursor.
        box->setFont(FitFont(designed, text, room.width() - 5));
    });
}

// A caption or button text wider than its control is set smaller to fit rather than cut: the
// designed fonts are stood in for by whatever the machine has, often wider.
void FitCaption(QWidget *control)
{
    QRect room;
    QString shown;
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        // The style keeps a margin each side inside its contents for the focus frame.
        room.adjust(2, 0, -2, 0);
        shown = LabelCaptionText(button->text());
    } else if (auto *label = qobject_cast<QLabel *>(control); label && !label->wordWrap()) {
        room = label->contentsRect();
        shown = label->text();
    } else {
        return;
    }
    control->setFont(FitFont(control->font(), shown, room.width()));
}

QPushButton *MakeButton(QWidget *form, const Control &entry)
{
    auto *button = new QPushButton(QLatin1String(entry.caption), form);
    // Enter presses the focused button, as Space does; outside a dialog no default button
    // would take it otherwise.
    button->setAutoDefault(true);
    return button;
}

QWidget *MakeControl(QWidget *form, const Control &entry)
{
    switch (entry.kind) {
    case ControlKind::Label:
        return MakeLabel(form, entry);
    case ControlKind::TextBox:
        return MakeTextBox(form, entry);
    case ControlKind::CommandButton:
        return MakeButton(form, entry);
    case ControlKind::Picture:
        return new PictureBox(form);
    case ControlKind::Line: {
        auto *line = new LineControl(form);
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        return line;
    }
    }
    Q_UNREACHABLE();
}

void Place(QWidget *widget, const Control &entry)
{
    if (entry.kind != ControlKind::Line) {
        PlaceTwips(widget, entry.rect);
        return;
    }
    const QRect from = ToPixels({entry.rect.left, entry.rect.top, entry.rect.width, 0});
    widget->setGeometry(from.left(), from.top(), from.width(), entry.border);
}

} // namespace

void BuildControls(QWidget *form, std::span<const Control> controls)
{
    std::vector<std::pair<int, QWidget *>> tabbed;
    for (const Control &entry : controls) {
        QWidget *widget = MakeControl(form, entry);
        widget->setObjectName(QLatin1String(entry.name));
        if (entry.kind != ControlKind::Picture && entry.kind != ControlKind::Line)
            widget->setFont(DesignedFont(entry.font));
        const Colours colours = ReadableColours(entry.text, entry.background);
        Recolour(widget, colours.text, colours.background);
        if (auto *box = qobject_cast<QLineEdit *>(widget)) {
            if (entry.background.source != ControlColour::Unset)
                KeepBoxEdgeVisible(box);
            ShrinkTextToFit(box);
        }
        Place(widget, entry);
        FitCaption(widget);
        if (entry.tabIndex >= 0)
            tabbed.emplace_back(entry.tabIndex, widget);
    }

    std::sort(tabbed.begin(), tabbed.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);
    if (!tabbed.empty())
        tabbed.front().second->setFocus();
}

QString LabelCaptionText(const QString &designedCaption)
{
    QString shown;
    shown.reserve(designedCaption.size());
    for (qsizetype i = 0; i < designedCaption.size(); ++i) {
        const QChar c = designedCaption.at(i);
        if (c == QLatin1Char('&')) {
            if (i + 1 < designedCaption.size() && designedCaption.at(i + 1) == QLatin1Char('&')) {
                shown += c;
                ++i;
            }
            continue;
        }
        shown += c;
    }
    return shown;
}

void SetColors(QWidget *widget, const QColor &text, const QColor &background)
{
    Recolour(widget, text, background);
}

PictureBox::PictureBox(QWidget *parent) : QLabel(parent)
{
    setScaledContents(true);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace quelvane
