#include "forms/viewers/ViewerWindow.h"

#include <QCloseEvent>
#include <QLineEdit>

#include <algorithm>
#include <cstring>
#include <vector>

#include "forms/MainAccess.h"
#include "gui/RecordText.h"
#include "gui/SysColors.h"
#include "platform/Accessibility.h"
#include "platform/FixedSize.h"

namespace quelvane {

ViewerWindow::ViewerWindow(const char *name, const QString &title, const TwipsRect &inside)
    // No owner: a viewer stays usable beside Main and the other viewers.
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QLatin1String(name));
    ExposeAsFrame(this);
    setWindowTitle(title);
    SetColors(this, SystemColor(SysColor::WindowText), Qt::black);
    PlaceTwips(this, inside);
    FixSizeAsDesigned(this);
}

void ViewerWindow::BuildViewer(std::span<const ViewerColumn> columns, std::span<const Control> buttons,
                               std::initializer_list<const char *> lastInTab)
{
    const ControlColour frame = SchemeColour(SysColor::WindowFrame);
    const auto named = [](const char *name) {
        return [name](const char *other) { return std::strcmp(name, other) == 0; };
    };

    std::vector<Control> controls(buttons.begin(), buttons.end());
    int nextTab = int(buttons.size());
    for (const ViewerColumn &column : columns) {
        const int right = column.captionLeft + column.captionWidth;
        for (const ViewerRow &row : column.rows) {
            const int left = row.captionLeft ? row.captionLeft : column.captionLeft;
            const bool ownBackground = row.captionBackground.source != ControlColour::Unset;
            controls.push_back({.kind = ControlKind::Label, .name = row.label, .caption = row.caption,
                                .rect = {left, row.top, right - left, column.captionHeight},
                                .font = row.font.points ? row.font : column.captionFont,
                                .alignment = Align::Right, .text = kDesignGreen,
                                .background = ownBackground ? row.captionBackground : frame});
            const bool last = std::any_of(lastInTab.begin(), lastInTab.end(), named(row.box));
            // A box carries its caption as its accessible name, so a screen reader announces
            // "Strength: 14" rather than an unnamed field.
            controls.push_back({.kind = ControlKind::TextBox, .name = row.box, .caption = row.caption,
                                .rect = {column.boxLeft, row.top, column.boxWidth, kViewerBoxHeight},
                                .tabIndex = last ? kNoTab : nextTab++, .text = kDesignGreen,
                                .background = frame});
        }
    }
    for (const char *box : lastInTab) {
        for (Control &entry : controls) {
            if (named(box)(entry.name))
                entry.tabIndex = nextTab++;
        }
    }
    BuildControls(this, controls);
}

void ViewerWindow::FillBoxes(std::span<const ViewerColumn> columns)
{
    for (const ViewerColumn &column : columns) {
        for (const ViewerRow &row : column.rows) {
            // Numbers as plain decimal; texts exactly as stored, so a one-blank cover stays one blank.
            const QString text = row.field.number
                ? QString::fromStdString(NumberText(CharacterRecord.*(row.field.number)))
                : RecordText(CharacterRecord.*(row.field.text));
            FindControl<QLineEdit>(this, row.box)->setText(text);
        }
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
