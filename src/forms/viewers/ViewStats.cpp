#include "forms/viewers/ViewStats.h"

#include <QPushButton>

#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"

namespace quelvane {
namespace {

using R = CharacterRecordType;

// Each derived value stands on the row of the attribute it comes from.
constexpr ViewerRow kLeftRows[] = {
    {120, "lblStrength", "Strength:", "txtStrength", &R::Strength},
    {1080, "lblEndurance", "Endurance:", "txtEndurance", &R::Endurance},
    {1560, "lblAgility", "Agility:", "txtAgility", &R::Agility},
    {2040, "lblDexterity", "Dexterity:", "txtDexterity", &R::Dexterity},
    {2520, "lblMoxie", "Moxie:", "txtMoxie", &R::Moxie},
    {3000, "lblChutzpah", "Chutzpah:", "txtChutzpah", &R::Chutzpah},
    {3480, "lblMechApt", "Mechanical Apt.:", "txtMechApt", &R::MechApt},
    {3960, "lblPower", "Power:", "txtPower", &R::Power},
};
constexpr ViewerRow kRightRows[] = {
    {120, "lblCarry", "Carrying Capacity:", "txtCarry", &R::Carry},
    {600, "lblDamage", "Damage Bonus:", "txtDamage", &R::Damage},
    {1080, "lblMacho", "Macho Bonus:", "txtMacho", &R::Macho},
    {1560, "lblAglBase", "Agility Skill Base:", "txtAglBase", &R::AglBase},
    {2040, "lblDexBase", "Dexterity Skill Base:", "txtDexBase", &R::DexBase},
    {2520, "lblMoxBase", "Moxie Skill Base:", "txtMoxBase", &R::MoxBase},
    {3000, "lblChuBase", "Chutzpah Skill Base:", "txtChuBase", &R::ChuBase},
    {3480, "lblMechBase", "Mechanical Skill Base:", "txtMechBase", &R::MechBase},
};

constexpr Font kCaptionFont = SansSerif(9.75, Bold);
// Column by column, so the boxes fill in the record's order.
constexpr ViewerColumn kColumns[] = {
    {0, 1935, 375, 2040, kViewerBoxWidth, kCaptionFont, kLeftRows},
    {2880, 2415, 375, 5400, kViewerBoxWidth, kCaptionFont, kRightRows},
};

constexpr Control kButtons[] = {
    Button("cmdViewSkills", "View Skills", {360, 4440, 1815, 495}, 0, kViewerButtonFont),
    Button("cmdViewSecrets", "View Secrets", {2400, 4440, 1815, 495}, 1, kViewerButtonFont),
    Button("cmdMainMenu", "Main Menu", {4440, 4440, 1815, 495}, 2, kViewerButtonFont),
};

constexpr TwipsRect kInside = {1275, 1830, 6405, 5100};

} // namespace

ViewStats::ViewStats()
    : ViewerWindow("ViewStats", QStringLiteral("View Attributes"), kInside)
{
    BuildViewer(kColumns, kButtons, {"txtEndurance", "txtStrength"});
    cmdViewSkills = ConnectButton(this, "cmdViewSkills", &ViewStats::cmdViewSkills_Click);
    cmdViewSecrets = ConnectButton(this, "cmdViewSecrets", &ViewStats::cmdViewSecrets_Click);
    cmdMainMenu = ConnectButton(this, "cmdMainMenu", &ViewStats::cmdMainMenu_Click);
}

void ViewStats::Form_Load()
{
    FillBoxes(kColumns);
}

void ViewStats::cmdViewSkills_Click()
{
    HideAndShow<ViewSkills>();
}

void ViewStats::cmdViewSecrets_Click()
{
    HideAndShow<ViewSecret>();
}

void ViewStats::cmdMainMenu_Click()
{
    HideAndShowMain();
}

void ViewStats::Forget()
{
    FormInstance<ViewStats>::Forget(this);
}

} // namespace quelvane
