#include "model/SheetLayout.h"

#include <array>

namespace quelvane::sheet {
namespace {

using R = CharacterRecordType;
using Number = int16_t R::*;

constexpr Font kArial = {Family::Arial, 9.75, Regular};
constexpr Font kSans = {Family::MsSansSerif, 9.75, Regular};
constexpr Font kHeading = {Family::MsSansSerif, 18, Bold | Italic};
constexpr Font kTitle = {Family::Arial, 36, Bold | Italic};

constexpr Entry Rectangle(const char *name, TwipsRect rect)
{
    return {Kind::Rectangle, name, nullptr, rect, kSans, SysColor::WindowText, false, Align::Left,
            nullptr, {}, kSans, Align::Left, Source::Nothing, nullptr};
}

constexpr Entry Framed(const char *name, const char *caption, TwipsRect rect, Font font)
{
    return {Kind::Caption, name, caption, rect, font, SysColor::WindowText, true, Align::Centre,
            nullptr, {}, font, Align::Left, Source::Nothing, nullptr};
}

// Identity and secrets: captions 255 high, boxes 375 high with left-aligned text.
constexpr Entry Identity(const char *name, const char *caption, int left, int top, int width,
                         const char *box, int boxLeft, int boxTop, int boxWidth, Source source)
{
    return {Kind::Field, name, caption, {left, top, width, 255}, kSans, SysColor::WindowText, false, Align::Left,
            box, {boxLeft, boxTop, boxWidth, 375}, kSans, Align::Left, source, nullptr};
}

// The attributes box: captions 255 high, boxes 495 x 360 with centred text.
constexpr int kFirstPairLabel = 360, kFirstPairLabelWidth = 1335, kFirstPairBox = 1800;
constexpr int kSecondPairLabel = 2640, kSecondPairLabelWidth = 1695, kSecondPairBox = 4320;

constexpr Entry Attribute(bool firstPair, int labelTop, int boxTop, const char *name, const char *caption,
                          const char *box, Number field, Font font = kArial, SysColor ink = SysColor::WindowText)
{
    const int left = firstPair ? kFirstPairLabel : kSecondPairLabel;
    const int width = firstPair ? kFirstPairLabelWidth : kSecondPairLabelWidth;
    const int boxLeft = firstPair ? kFirstPairBox : kSecondPairBox;
    return {Kind::Field, name, caption, {left, labelTop, width, 255}, font, ink, false, Align::Left,
            box, {boxLeft, boxTop, 495, 360}, kArial, Align::Centre, Source::Number, field};
}

// The skills box: row k of a column at Top 960 + 360 k; captions 1935 x 255, boxes 495 x 315.
constexpr Entry Skill(int column, int row, const char *name, const char *caption, const char *box, Number field,
                      bool groupBase = false)
{
    const int top = 960 + 360 * row;
    const int left = column == 1 ? 5640 : 8520;
    const int boxLeft = column == 1 ? 7560 : 10440;
    const Font font = groupBase ? Font{Family::Arial, 9.75, Underline} : kArial;
    return {Kind::Field, name, caption, {left, top, 1935, 255}, font, SysColor::WindowText, false, Align::Left,
            box, {boxLeft, top, 495, 315}, kArial, Align::Centre, Source::Number, field};
}

constexpr Entry kEntries[] = {
    Rectangle("Shape4", {120, 960, 5055, 615}),   // player
    Rectangle("Shape2", {120, 2160, 5055, 1455}), // identification
    Rectangle("Shape5", {120, 4200, 5055, 1095}), // secrets
    Rectangle("Shape1", {120, 5880, 5055, 5175}), // attributes
    Rectangle("Shape3", {5280, 840, 5775, 10215}), // skills

    Framed("lblTitle", "Quelvane Character Sheet", {120, 0, 10935, 855}, kTitle),
    Framed("lblIdentification", "Identification", {120, 1680, 5055, 495}, kHeading),
    Framed("lblSecretStuff", "Secret Stuff", {120, 3720, 5055, 495}, kHeading),
    Framed("lblAttributes", "Attributes", {120, 5400, 5055, 495}, kHeading),
    {Kind::Caption, "lblSecurityClearance", "Security Clearance:  (IR)  R  O  Y  G  B  I  V  (UV)",
     {240, 2760, 4695, 255}, kSans, SysColor::WindowText, false, Align::Left,
     nullptr, {}, kSans, Align::Left, Source::Nothing, nullptr},
    Identity("lblPlayer", "Player:", 360, 1200, 615, "txtPlayer", 1200, 1080, 3855, Source::Nothing),

    // Fields 1 to 16 of the record.
    Attribute(true, 6000, 5955, "lblStrength", "Strength:", "txtStrength", &R::Strength),
    Attribute(true, 6840, 6840, "lblEndurance", "Endurance:", "txtEndurance", &R::Endurance),
    Attribute(true, 7320, 7320, "lblAgility", "Agility:", "txtAgility", &R::Agility),
    Attribute(true, 7800, 7800, "lblDexterity", "Dexterity:", "txtDexterity", &R::Dexterity),
    Attribute(true, 8280, 8280, "lblMoxie", "Moxie:", "txtMoxie", &R::Moxie),
    Attribute(true, 8760, 8760, "lblChutzpah", "Chutzpah:", "txtChutzpah", &R::Chutzpah),
    Attribute(true, 9240, 9240, "lblMechApt", "Mechanical Apt.:", "txtMechApt", &R::MechApt),
    // Drawn with another font and the default label colour.
    Attribute(true, 9720, 9720, "lblPower", "Power:", "txtPower", &R::Power, kSans, SysColor::ButtonText),
    Attribute(false, 6000, 5955, "lblCarry", "Carrying Capacity:", "txtCarry", &R::Carry),
    Attribute(false, 6360, 6360, "lblDamage", "Damage Bonus:", "txtDamage", &R::Damage),
    Attribute(false, 6840, 6840, "lblMacho", "Macho Bonus:", "txtMacho", &R::Macho),
    Attribute(false, 7320, 7320, "lblAglBase", "Agility Skill Base:", "txtAglBase", &R::AglBase),
    Attribute(false, 7800, 7800, "lblDexBase", "Dex Skill Base:", "txtDexBase", &R::DexBase),
    Attribute(false, 8280, 8280, "lblMoxBase", "Moxie Skill Base:", "txtMoxBase", &R::MoxBase),
    Attribute(false, 8760, 8760, "lblChuBase", "Chu Skill Base:", "txtChuBase", &R::ChuBase),
    Attribute(false, 9240, 9240, "lblMechBase", "Mech Skill Base:", "txtMechBase", &R::MechBase),

    Identity("lblName", "Name:", 240, 2400, 615, "txtName", 1560, 2280, 3495, Source::Name),
    Identity("lblService", "Service Group:", 240, 3240, 1215, "txtService", 1560, 3120, 3495, Source::ServiceGroup),
    Identity("lblMutation", "Mutation:", 240, 4920, 1215, "txtMutation", 1560, 4800, 3495, Source::Mutant),
    Identity("lblSecretSociety", "Secret Society:", 240, 4440, 1215, "txtSecretSociety", 1560, 4320, 3495,
             Source::Secret),

    // The skills group by group in record order, each group's base ahead of its skills.
    Skill(1, 12, "lblAgilitySkillBase", "Agility Skill Base:", "txtAgilitySkillBase", &R::AglBase, true),
    Skill(1, 13, "lblForceSword", "Force Sword:", "txtForceSword", &R::ForceSword),
    Skill(1, 14, "lblGrenade", "Grenade:", "txtGrenade", &R::Grenade),
    Skill(1, 15, "lblNeurowhip", "Neurowhip:", "txtNeurowhip", &R::Neurowhip),
    Skill(1, 16, "lblPrimMelee", "Prim Melee Wpns:", "txtPrimMelee", &R::PrimMelee),
    Skill(1, 17, "lblTruncheon", "Truncheon:", "txtTruncheon", &R::Truncheon),
    Skill(1, 18, "lblUnarmed", "Unarmed:", "txtUnarmed", &R::Unarmed),

    Skill(1, 0, "lblChutzpahSkillBase", "Chutzpah Skill Base:", "txtChutzpahSkillBase", &R::ChuBase, true),
    Skill(1, 1, "lblBootlicking", "Bootlicking:", "txtBootlicking", &R::Bootlicking),
    Skill(1, 2, "lblBribery", "Bribery:", "txtBribery", &R::Bribery),
    Skill(1, 3, "lblCon", "Con:", "txtCon", &R::Con),
    Skill(1, 4, "lblFastTalk", "Fast Talk:", "txtFastTalk", &R::FastTalk),
    Skill(1, 5, "lblForgery", "Forgery:", "txtForgery", &R::Forgery),
    Skill(1, 6, "lblInterrogation", "Interrogation:", "txtInterrogation", &R::Interrogation),
    Skill(1, 7, "lblIntimidation", "Intimidation:", "txtIntimidation", &R::Intimidation),
    Skill(1, 8, "lblMotivation", "Motivation:", "txtMotivation", &R::Motivation),
    Skill(1, 9, "lblOratory", "Oratory:", "txtOratory", &R::Oratory),
    Skill(1, 10, "lblPsychescan", "Psychescan:", "txtPsychescan", &R::Psychescan),
    Skill(1, 11, "lblSpuriousLogic", "Spurious Logic:", "txtSpuriousLogic", &R::SpuriousLogic),

    Skill(1, 19, "lblDexteritySkillBase", "Dexterity Skill Base:", "txtDexteritySkillBase", &R::DexBase, true),
    Skill(1, 20, "lblEnergyWeapons", "Energy Weapons:", "txtEnergyWeapons", &R::EnergyWeapons),
    Skill(1, 21, "lblFieldWeapons", "Field Weapons:", "txtFieldWeapons", &R::FieldWeapons),
    Skill(1, 22, "lblLaserWeapons", "Laser Weapons:", "txtLaserWeapons", &R::LaserWeapons),
    Skill(1, 23, "lblMissle", "Prim Missle Wpns:", "txtMissle", &R::Missle),
    Skill(1, 24, "lblProjectileWeapons", "Projectile Weapons", "txtProjectileWeapons", &R::ProjectileWeapons),
    Skill(1, 25, "lblVehicleAimedWeapons", "Vehicle Aim Wpns:", "txtVehicleAimedWeapons", &R::VehicleAimedWeapons),
    Skill(1, 26, "lblVehicleFieldWeapons", "Vehicle Field Wpns:", "txtVehicleFieldWeapons", &R::VehicleFieldWeapons),
    Skill(1, 27, "lblVehicleLaunchedWeapons", "Vehicle Lnch Wpns:", "txtVehicleLaunchedWeapons",
          &R::VehicleLaunchedWeapons),

    Skill(2, 0, "lblMechanicalSkillBase", "Mech Skill Base:", "txtMechanicalSkillBase", &R::MechBase, true),
    Skill(2, 1, "lblAutocar", "Autocar Op. && Maint.:", "txtAutocar", &R::Autocar),
    Skill(2, 2, "lblCopter", "Copter Op. && Maint.:", "txtCopter", &R::Copter),
    Skill(2, 3, "lblCrawler", "Crawler Op. && Maint.:", "txtCrawler", &R::Crawler),
    Skill(2, 4, "lblDocbot", "Docbot Op. && Maint.:", "txtDocbot", &R::Docbot),
    Skill(2, 5, "lblFlybot", "Flybot Op. && Maint.:", "txtFlybot", &R::Flybot),
    Skill(2, 6, "lblHabitat", "Habitat Engineering:", "txtHabitat", &R::Habitat),
    Skill(2, 7, "lblHover", "Hover Op. && Maint.:", "txtHover", &R::Hover),
    Skill(2, 8, "lblJackobot", "Jackobot Op/Maint.:", "txtJackobot", &R::Jackobot),
    Skill(2, 9, "lblScrubot", "Scrubot Op. && Maint.:", "txtScrubot", &R::Scrubot),
    Skill(2, 10, "lblTransbot", "Transbot Op/Maint.:", "txtTransbot", &R::Transbot),
    Skill(2, 11, "lblVulturecraft", "Vulturecraft Op/Maint:", "txtVulturecraft", &R::Vulturecraft),

    Skill(2, 12, "lblMoxieSkillBase", "Moxie Skill Base:", "txtMoxieSkillBase", &R::MoxBase, true),
    Skill(2, 13, "lblBiochemical", "Biochem. Therapy:", "txtBiochemical", &R::Biochemical),
    Skill(2, 14, "lblBiosciences", "Biosciences:", "txtBiosciences", &R::Biosciences),
    Skill(2, 15, "lblChemical", "Chemical Eng:", "txtChemical", &R::Chemical),
    Skill(2, 16, "lblAnalysis", "Data Analysis:", "txtAnalysis", &R::Analysis),
    Skill(2, 17, "lblSearch", "Data Search:", "txtSearch", &R::Search),
    Skill(2, 18, "lblDemolition", "Demolition:", "txtDemolition", &R::Demolition),
    Skill(2, 19, "lblElectronic", "Electronic Eng:", "txtElectronic", &R::Electronic),
    Skill(2, 20, "lblMechanical", "Mechanical Eng:", "txtMechanical", &R::Mechanical),
    Skill(2, 21, "lblMedical", "Medical:", "txtMedical", &R::Medical),
    Skill(2, 22, "lblNuclear", "Nuclear Eng:", "txtNuclear", &R::Nuclear),
    Skill(2, 23, "lblSecurity", "Security", "txtSecurity", &R::Security),
    Skill(2, 24, "lblStealth", "Stealth:", "txtStealth", &R::Stealth),
    Skill(2, 25, "lblSurveillance", "Surveillance:", "txtSurveillance", &R::Surveillance),
    // Designed below the panel, where it never reached the page; here it takes the column's
    // next free row, inside the skills box.
    Skill(2, 26, "lblSurvival", "Survival", "txtSurvival", &R::Survival),
};

} // namespace

std::span<const Entry> SheetEntries()
{
    return kEntries;
}

const Entry *FindEntry(std::string_view name)
{
    for (const Entry &entry : kEntries) {
        if (name == entry.name || (entry.box && name == entry.box))
            return &entry;
    }
    return nullptr;
}

std::string PrintedCaption(const char *designed)
{
    std::string printed;
    for (const char *c = designed; c && *c; ++c) {
        printed += *c;
        if (c[0] == '&' && c[1] == '&')
            ++c;
    }
    return printed;
}

std::string BoxText(const Entry &entry, const CharacterRecordType &record)
{
    switch (entry.source) {
    case Source::Nothing:
        return {};
    case Source::Number:
        return NumberText(record.*(entry.number));
    case Source::Name:
        return record.Name;
    case Source::ServiceGroup:
        return ServiceGroupText(record);
    case Source::Mutant:
        return record.Mutant;
    case Source::Secret:
        return record.Secret;
    }
    return {};
}

} // namespace quelvane::sheet
