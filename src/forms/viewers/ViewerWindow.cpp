#include "forms/viewers/ViewerWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QPushButton>

#include "forms/MainAccess.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/SysColors.h"

namespace quelvane {

ViewerWindow::ViewerWindow(const char *name, const QString &title, const TwipsRect &inside)
    // No owner: a viewer stays usable beside Main and the other viewers.
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
    SetColors(this, SystemColor(SysColor::WindowText), Qt::black);
    PlaceTwips(this, inside);
    setFixedSize(size());
}

QLabel *ViewerWindow::AddCaption(const char *boxName, const char *caption, const TwipsRect &rect,
                                 const QFont &font, const QColor &background)
{
    const QString name = QStringLiteral("lbl") + QLatin1String(boxName).mid(3);
    QLabel *label = MakeLabel(this, name.toLatin1().constData(), QLatin1String(caption), rect, font,
                              Qt::AlignRight | Qt::AlignTop);
    SetColors(label, DesignGreen(), background);
    return label;
}

QLineEdit *ViewerWindow::AddBox(const char *name, const char *caption, const TwipsRect &rect)
{
    QLineEdit *box = MakeTextBox(this, name, rect, MsSansSerif(8.25));
    SetColors(box, DesignGreen(), SystemColor(SysColor::WindowFrame));
    // The style draws a box's edge from its Window colour: keep the desktop's face colour
    // there, or the edge vanishes into the black window, and fill only the inside.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    box->setPalette(palette);
    box->setAutoFillBackground(false);
    box->setAccessibleName(LabelCaptionText(QLatin1String(caption)).trimmed());
    // A value wider than the box ("-32768") is set smaller rather than pushed off its edge.
    const QFont designed = box->font();
    connect(box, &QLineEdit::textChanged, box, [box, designed](const QString &text) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
        const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
        // QLineEdit keeps two pixels each side and one for the cursor.
        box->setFont(FitFont(designed, text, room.width() - 5));
    });
    return box;
}

QPushButton *ViewerWindow::AddButton(const char *name, const char *caption, const TwipsRect &rect)
{
    return MakeButton(this, name, QLatin1String(caption), rect, MsSansSerif(8.25, Bold));
}

void ViewerWindow::SetTabChain(const std::vector<const char *> &names)
{
    QWidget *previous = nullptr;
    for (const char *name : names) {
        auto *widget = findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        Q_ASSERT_X(widget, "SetTabChain", name);
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

void ViewerWindow::HideAndShowMain()
{
    hide();
    ShowMain();
}

void ViewerWindow::closeEvent(QCloseEvent *event)
{
    // The close box discards the window and what was typed into it; the next show refills it.
    event->accept();
    Forget();
}

} // namespace quelvane
