#include "platform/Controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <limits>

namespace quelvane {

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

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption,
                        const TwipsRect &rect, const QFont &font)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(font);
    // Enter presses the focused button, as Space does; outside a dialog no default button
    // would take it otherwise.
    button->setAutoDefault(true);
    PlaceTwips(button, rect);
    return button;
}

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &designedCaption,
                  const TwipsRect &rect, const QFont &font, Qt::Alignment alignment)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(LabelCaptionText(designedCaption));
    label->setFont(font);
    label->setAlignment(alignment);
    label->setMargin(0);
    label->setIndent(0);
    PlaceTwips(label, rect);
    return label;
}

QLineEdit *MakeTextBox(QWidget *parent, const char *name, const TwipsRect &rect,
                       const QFont &font, Qt::Alignment alignment)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(font);
    box->setAlignment(alignment | Qt::AlignVCenter);
    box->setTextMargins(0, 0, 0, 0);
    // A box holds whatever the record holds; QLineEdit would cut texts at 32767 characters.
    box->setMaxLength(std::numeric_limits<int>::max());
    PlaceTwips(box, rect);
    return box;
}

void SetColors(QWidget *widget, const QColor &text, const QColor &background)
{
    QPalette palette = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    for (auto role : {QPalette::Window, QPalette::Base})
        palette.setColor(role, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace quelvane
