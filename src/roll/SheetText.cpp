#include "roll/SheetText.h"

#include <algorithm>
#include <vector>

namespace quelvane::roll {
namespace {

using R = CharacterRecordType;

// Label column widths, wide enough for the longest label of each column.
constexpr size_t kIdentityWidth = 20;
constexpr size_t kAttributeWidth = 18;
constexpr size_t kDerivedWidth = 21;
constexpr size_t kSkillWidth = 24;
constexpr size_t kValueWidth = 3;

struct AttributeRow {
    const char *label; // nullptr: an empty cell
    int16_t R::*field;
    const char *derivedLabel;
    int16_t R::*derived;
};

const AttributeRow kAttributeRows[] = {
    {"Strength:", &R::Strength, "Carrying Capacity:", &R::Carry},
    {nullptr, nullptr, "Damage Bonus:", &R::Damage},
    {"Endurance:", &R::Endurance, "Macho Bonus:", &R::Macho},
    {"Agility:", &R::Agility, "Agility Skill Base:", &R::AglBase},
    {"Dexterity:", &R::Dexterity, "Dex Skill Base:", &R::DexBase},
    {"Moxie:", &R::Moxie, "Moxie Skill Base:", &R::MoxBase},
    {"Chutzpah:", &R::Chutzpah, "Chu Skill Base:", &R::ChuBase},
    {"Mechanical Apt.:", &R::MechApt, "Mech Skill Base:", &R::MechBase},
    {"Power:", &R::Power, nullptr, nullptr},
};

void Pad(std::string &line, size_t width)
{
    if (line.size() < width)
        line.append(width - line.size(), ' ');
}

// "label" padded to `width`, then the value right-aligned in the value column.
std::string Cell(const char *label, int16_t value, size_t width)
{
    std::string cell = label;
    Pad(cell, width);
    const std::string number = NumberText(value);
    if (number.size() < kValueWidth)
        cell.append(kValueWidth - number.size(), ' ');
    return cell + number;
}

void EndLine(std::string &out, std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    out += line;
    out += '\n';
}

std::string SkillCell(const R &record, const SkillRow &row)
{
    // Skills stand indented under the base of their group.
    std::string label = row.isBase ? "" : "  ";
    label += row.label;
    return Cell(label.c_str(), record.*(row.field), kSkillWidth);
}

} // namespace

const std::vector<SkillRow> &LeftSkillColumn()
{
    static const std::vector<SkillRow> rows = {
        {"Chutzpah Skill Base:", &R::ChuBase, true},
        {"Bootlicking:", &R::Bootlicking, false},
        {"Bribery:", &R::Bribery, false},
        {"Con:", &R::Con, false},
        {"Fast Talk:", &R::FastTalk, false},
        {"Forgery:", &R::Forgery, false},
        {"Interrogation:", &R::Interrogation, false},
        {"Intimidation:", &R::Intimidation, false},
        {"Motivation:", &R::Motivation, false},
        {"Oratory:", &R::Oratory, false},
        {"Psychescan:", &R::Psychescan, false},
        {"Spurious Logic:", &R::SpuriousLogic, false},
        {"Agility Skill Base:", &R::AglBase, true},
        {"Force Sword:", &R::ForceSword, false},
        {"Grenade:", &R::Grenade, false},
        {"Neurowhip:", &R::Neurowhip, false},
        {"Prim Melee Wpns:", &R::PrimMelee, false},
        {"Truncheon:", &R::Truncheon, false},
        {"Unarmed:", &R::Unarmed, false},
        {"Dexterity Skill Base:", &R::DexBase, true},
        {"Energy Weapons:", &R::EnergyWeapons, false},
        {"Field Weapons:", &R::FieldWeapons, false},
        {"Laser Weapons:", &R::LaserWeapons, false},
        {"Prim Missle Wpns:", &R::Missle, false},
        {"Projectile Weapons:", &R::ProjectileWeapons, false},
        {"Vehicle Aim Wpns:", &R::VehicleAimedWeapons, false},
        {"Vehicle Field Wpns:", &R::VehicleFieldWeapons, false},
        {"Vehicle Lnch Wpns:", &R::VehicleLaunchedWeapons, false},
    };
    return rows;
}

const std::vector<SkillRow> &RightSkillColumn()
{
    static const std::vector<SkillRow> rows = {
        {"Mech Skill Base:", &R::MechBase, true},
        {"Autocar Op. & Maint.:", &R::Autocar, false},
        {"Copter Op. & Maint.:", &R::Copter, false},
        {"Crawler Op. & Maint.:", &R::Crawler, false},
        {"Docbot Op. & Maint.:", &R::Docbot, false},
        {"Flybot Op. & Maint.:", &R::Flybot, false},
        {"Habitat Engineering:", &R::Habitat, false},
        {"Hover Op. & Maint.:", &R::Hover, false},
        {"Jackobot Op/Maint.:", &R::Jackobot, false},
        {"Scrubot Op. & Maint.:", &R::Scrubot, false},
        {"Transbot Op/Maint.:", &R::Transbot, false},
        {"Vulturecraft Op/Maint:", &R::Vulturecraft, false},
        {"Moxie Skill Base:", &R::MoxBase, true},
        {"Biochem. Therapy:", &R::Biochemical, false},
        {"Biosciences:", &R::Biosciences, false},
        {"Chemical Eng:", &R::Chemical, false},
        {"Data Analysis:", &R::Analysis, false},
        {"Data Search:", &R::Search, false},
        {"Demolition:", &R::Demolition, false},
        {"Electronic Eng:", &R::Electronic, false},
        {"Mechanical Eng:", &R::Mechanical, false},
        {"Medical:", &R::Medical, false},
        {"Nuclear Eng:", &R::Nuclear, false},
        {"Security:", &R::Security, false},
        {"Stealth:", &R::Stealth, false},
        {"Surveillance:", &R::Surveillance, false},
        {"Survival:", &R::Survival, false},
    };
    return rows;
}

std::string ServiceGroupText(const CharacterRecordType &record)
{
    if (record.Service == kInternalSecurity)
        return record.Cover + " (IS)";
    return record.Service;
}

std::string SheetText(const CharacterRecordType &record)
{
    std::string out;
    out.reserve(3072);

    auto identity = [&](const char *label, const std::string &value) {
        std::string line = "  ";
        line += label;
        Pad(line, kIdentityWidth);
        EndLine(out, line + value);
    };

    out += "Quelvane Character Sheet\n\nIdentification\n";
    identity("Name:", record.Name);
    identity("Service Group:", ServiceGroupText(record));
    out += "\nSecret Stuff\n";
    identity("Secret Society:", record.Secret);
    identity("Mutation:", record.Mutant);

    out += "\nAttributes\n";
    for (const AttributeRow &row : kAttributeRows) {
        std::string line = "  ";
        if (row.label)
            line += Cell(row.label, record.*(row.field), kAttributeWidth);
        if (row.derivedLabel) {
            line += "   "; // a wide value pushes the column, never touches it
            Pad(line, 2 + kAttributeWidth + kValueWidth + 3);
            line += Cell(row.derivedLabel, record.*(row.derived), kDerivedWidth);
        }
        EndLine(out, line);
    }

    out += "\nSkills\n";
    const std::vector<SkillRow> &left = LeftSkillColumn();
    const std::vector<SkillRow> &right = RightSkillColumn();
    for (size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
        std::string line = "  ";
        if (i < left.size())
            line += SkillCell(record, left[i]);
        if (i < right.size()) {
            line += "   ";
            Pad(line, 2 + kSkillWidth + kValueWidth + 3);
            line += SkillCell(record, right[i]);
        }
        EndLine(out, line);
    }
    return out;
}

} // namespace quelvane::roll
