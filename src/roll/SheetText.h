// The character sheet as plain text: the printed sheet's sections and groups, one character
// per call. Plain C++, no Qt; the text is the same on every machine (no locale).
#pragma once

#include <string>
#include <vector>

#include "model/modTarvock.h"

namespace quelvane::roll {

// One sheet, every line ended by "\n"; ASCII for every generated character.
std::string SheetText(const CharacterRecordType &record);

// One row of the skill columns: a group's base (heading its skills) or a skill.
struct SkillRow {
    std::string label; // the printed caption, with a colon
    int16_t CharacterRecordType::*field;
    bool isBase;
};
// The two skill columns top to bottom, as on the printed sheet (columns 0 and 1).
std::vector<SkillRow> SkillColumn(int column);
const std::vector<SkillRow> &LeftSkillColumn();
const std::vector<SkillRow> &RightSkillColumn();

} // namespace quelvane::roll
