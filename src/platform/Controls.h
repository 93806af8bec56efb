// Small builders that turn a form's table of controls into widgets at their twips places.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include "platform/Twips.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quelvane {

// A label caption as designed: "&&" is one "&", a lone "&" marks no letter (labels here have
// no buddy), and nothing is ever read as rich text.
QString LabelCaptionText(const QString &designedCaption);

// A button that Enter and Space press while it has the focus.
QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption,
                        const TwipsRect &rect, const QFont &font);

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &designedCaption,
                  const TwipsRect &rect, const QFont &font, Qt::Alignment alignment);

QLineEdit *MakeTextBox(QWidget *parent, const char *name, const TwipsRect &rect,
                       const QFont &font, Qt::Alignment alignment = Qt::AlignLeft);

// Text and background of a label, box or window through its palette (never style sheets,
// which cascade into children).
void SetColors(QWidget *widget, const QColor &text, const QColor &background);

} // namespace quelvane
