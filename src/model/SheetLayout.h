// The printed character sheet as data: every rectangle, caption and box with its place in
// twips, its font and alignment, and what each box shows. The painter, the window and the
// text sheet of quelvane-roll all read this one table. Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/Design.h"
#include "model/modTarvock.h"

namespace quelvane::sheet {

// What a box shows.
enum class Source { Nothing, Number, Name, ServiceGroup, Mutant, Secret };

enum class Kind {
    Rectangle, // an unfilled rectangle: name and rect only
    Caption,   // a caption alone (title, headings, a printed line)
    Field,     // a caption and its box
};

struct Entry {
    Kind kind;
    const char *name;    // the caption's or rectangle's name: "lblStrength", "Shape1"
    const char *caption; // as designed: "&&" stands for one printed "&"
    TwipsRect rect;          // of the caption or rectangle
    Font font;
    SysColor ink;        // the window text, or the default label colour (button text)
    bool framed;         // a single-line frame around the whole caption
    Align captionAlign;
    // Field only:
    const char *box;     // "txtStrength"
    TwipsRect boxRect;
    Font boxFont;
    Align boxAlign;
    Source source;
    int16_t CharacterRecordType::*number; // Source::Number
};

// The client area that is printed, and the panel everything stands on.
inline constexpr TwipsRect kClientArea = {0, 0, 11340, 11115};
inline constexpr TwipsRect kPanel = {0, 0, 13230, 11330};
inline constexpr const char *kSheetCaption = "Quelvane Character Sheet";

// Every element: first the rectangles, then the captions without a box, then the fields in
// the order the sheet fills its boxes.
std::span<const Entry> SheetEntries();

// The entry whose caption, rectangle or box has this name; nullptr when none has.
const Entry *FindEntry(std::string_view name);

// A designed caption as printed: "&&" becomes "&".
std::string PrintedCaption(const char *designed);

// What the box of `entry` shows for `record`, as bytes of the record ("" for none).
std::string BoxText(const Entry &entry, const CharacterRecordType &record);

} // namespace quelvane::sheet
