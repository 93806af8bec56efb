// The character sheet as plain text: the printed sheet's sections and groups, one character
// per call. Plain C++, no Qt; the text is the same on every machine (no locale).
#pragma once

#include <string>
#include <vector>

#include "model/modTarvock.h"

namespace quelvane::roll {

// What the sheet's Service Group box shows: an internal-security agent's cover with " (IS)",
// anyone else's service group as it stands.
std::string ServiceGroupText(const CharacterRecordType &record);

// One sheet, every line ended by "\n"; ASCII for every generated character.
std::string SheetText(const CharacterRecordType &record);

// One row of the skill columns: a group's base (heading its skills) or a skill.
struct SkillRow {
    const char *label;
    int16_t CharacterRecordType::*field;
    bool isBase;
};
// The two skill columns top to bottom, as on the printed sheet.
const std::vector<SkillRow> &LeftSkillColumn();
const std::vector<SkillRow> &RightSkillColumn();

} // namespace quelvane::roll
