// What the three viewers share: a fixed black window with a close box, green captions
// beside editable boxes, and three buttons that hide it and show another window.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

#include "forms/FormInstance.h"
#include "gui/Fonts.h"
#include "model/modTarvock.h"
#include "platform/Controls.h"
#include "platform/Stacking.h"
#include "platform/Twips.h"

namespace quelvane {

// The field of the record a box shows: a number or a text.
struct RecordField {
    constexpr RecordField(int16_t CharacterRecordType::*field) : number(field) {}
    constexpr RecordField(std::string CharacterRecordType::*field) : text(field) {}
    int16_t CharacterRecordType::*number = nullptr;
    std::string CharacterRecordType::*text = nullptr;
};

// One row of a viewer's column: a caption and, beside it at the same top, the box that
// shows a field. Unset font, left and background are the column's.
struct ViewerRow {
    int top;
    const char *label;
    const char *caption;
    const char *box;
    RecordField field;
    Font font = {};
    int captionLeft = 0; // a longer caption starts further left, with the same right edge
    ControlColour captionBackground = {};
};

// A column of captions, right-aligned to one edge, and their boxes.
struct ViewerColumn {
    int captionLeft;
    int captionWidth;
    int captionHeight;
    int boxLeft;
    int boxWidth;
    Font captionFont;
    std::span<const ViewerRow> rows;
};

// Sizes and the font every viewer's controls share.
constexpr int kViewerBoxWidth = 495;
constexpr int kViewerBoxHeight = 285;
constexpr Font kViewerButtonFont = SansSerif(8.25, Bold);

class ViewerWindow : public QWidget {
public:
    // Every viewer shows the record; one that names no place of its own is closed first.
    static constexpr int kCloseOrder = 0;

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

    // The columns' captions and boxes (green on the window-frame colour), and the buttons.
    // Tab goes through the buttons in their tab order, then the boxes column by column from
    // the top, except those of `lastInTab`, which come last in that order.
    void BuildViewer(std::span<const ViewerColumn> columns, std::span<const Control> buttons,
                     std::initializer_list<const char *> lastInTab);
    // Sets every box to its field's text, column by column.
    void FillBoxes(std::span<const ViewerColumn> columns);

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
