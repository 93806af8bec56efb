#include "forms/viewers/ViewSkills.h"

#include <QPushButton>

#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewStats.h"

namespace quelvane {
namespace {

using R = CharacterRecordType;
using enum ControlKind;

// A skill base heads its group.
constexpr ControlFont kHeading = {9.75, Bold | Underline};
constexpr ControlFont kSkillFont = {9.75, Regular};

// Captions are literal, odd spellings and missing colons included; "&&" shows one "&".
constexpr ViewerRow kColumn1[] = {
    {120, "Agility Skill Base:", "txtAgilityBase", &R::AglBase, kHeading},
    {480, "Force Sword:", "txtForceSword", &R::ForceSword},
    {840, "Grenade:", "txtGrenade", &R::Grenade},
    {1200, "Neurowhip:", "txtNeurowhip", &R::Neurowhip},
    {1560, "Primitive Melee Weapons:", "txtPrimMelee", &R::PrimMelee},
    {1920, "Truncheon:", "txtTruncheon", &R::Truncheon},
    {2280, "Unarmed:", "txtUnarmed", &R::Unarmed},
    {2760, "Chutzpah Skill Base:", "txtChuBase", &R::ChuBase, kHeading},
    {3120, "Bootlicking:", "txtBootlicking", &R::Bootlicking},
    {3480, "Bribery:", "txtBribery", &R::Bribery},
    {3840, "Con:", "txtCon", &R::Con},
    {4200, "Fast Talk:", "txtFastTalk", &R::FastTalk},
    {4560, "Forgery:", "txtForgery", &R::Forgery},
    {4920, "Interrogation:", "txtInterrogation", &R::Interrogation},
    {5280, "Intimidation:", "txtIntimidation", &R::Intimidation},
    {5640, "Motivation:", "txtMotivation", &R::Motivation},
    {6000, "Oratory:", "txtOratory", &R::Oratory},
    {6360, "Psychescan:", "txtPsychescan", &R::Psychescan},
    {6720, "Spurious Logic:", "txtSpuriousLogic", &R::SpuriousLogic},
};

constexpr ViewerRow kColumn2[] = {
    {120, "Dexterity Skill Base:", "txtDexBase", &R::DexBase, kHeading},
    {480, "Energy Weapons:", "txtEnergyWeapons", &R::EnergyWeapons},
    {840, "Field Weapons:", "txtFieldWeapons", &R::FieldWeapons},
    {1200, "Laser Weapons:", "txtLaserWeapons", &R::LaserWeapons},
    {1560, "Primitive Missle Weapons:", "txtMissle", &R::Missle},
    {1920, "Projectile Weapons", "txtProjectileWeapons", &R::ProjectileWeapons},
    {2280, "Vehicle Aimed Weapons:", "txtVehicleAimedWeapons", &R::VehicleAimedWeapons},
    {2640, "Vehicle Field Weapons:", "txtVehicleFieldWeapons", &R::VehicleFieldWeapons},
    {3000, "Vehicle Launched Weapons:", "txtVehicleLaunchedWeapons", &R::VehicleLaunchedWeapons, {}, 3360},
    {3480, "Mechanical Skill Base:", "txtMechBase", &R::MechBase, kHeading},
    {3840, "Autocar Op. && Maint.:", "txtAutocar", &R::Autocar},
    {4200, "Copter Op. && Maint.:", "txtCopter", &R::Copter},
    {4560, "Crawler Op. && Maint.:", "txtCrawler", &R::Crawler},
    {4920, "Docbot Op. && Maint.:", "txtDocbot", &R::Docbot},
    {5280, "Flybot Op. && Maint.:", "txtFlybot", &R::Flybot},
    {5640, "Habitat Engineering:", "txtHabitat", &R::Habitat},
    {6000, "Hover Op. && Maint.:", "txtHover", &R::Hover},
    {6360, "Jackobot Op. && Maint.:", "txtJackobot", &R::Jackobot},
    {6720, "Scrubot Op. && Maint.:", "txtScrubot", &R::Scrubot},
    {7080, "Transbot Op. && Maint.:", "txtTransbot", &R::Transbot},
    {7440, "Vulturecraft Op. && Maint.:", "txtVulturecraft", &R::Vulturecraft},
};

constexpr ViewerRow kColumn3[] = {
    {120, "Moxie Skill Base:", "txtMoxBase", &R::MoxBase, kHeading},
    {480, "Biochemical Therapy:", "txtBiochemical", &R::Biochemical},
    {840, "Biosciences:", "txtBiosciences", &R::Biosciences},
    {1200, "Chemical Engineering:", "txtChemical", &R::Chemical},
    {1560, "Data Analysis:", "txtAnalysis", &R::Analysis},
    {1920, "Data Search:", "txtSearch", &R::Search},
    {2280, "Demolition:", "txtDemolition", &R::Demolition},
    {2640, "Electronic Engineering:", "txtElectronic", &R::Electronic},
    {3000, "Mechanical Engineering:", "txtMechanical", &R::Mechanical, {}, 6720},
    {3360, "Medical:", "txtMedical", &R::Medical},
    {3720, "Nuclear Engineering:", "txtNuclear", &R::Nuclear},
    {4080, "Security", "txtSecurity", &R::Security},
    {4440, "Stealth:", "txtStealth", &R::Stealth},
    {4800, "Surveillance:", "txtSurveillance", &R::Surveillance},
    {5160, "Survival", "txtSurvival", &R::Survival},
};

constexpr ViewerColumn kColumns[] = {
    {240, 2415, 375, 2760, kViewerBoxWidth, kSkillFont, kColumn1},
    {3600, 2415, 375, 6120, kViewerBoxWidth, kSkillFont, kColumn2},
    {6840, 2175, 375, 9120, kViewerBoxWidth, kSkillFont, kColumn3},
};

constexpr Control kButtons[] = {
    {CommandButton, "cmdViewAttributes", "View Attributes", {7680, 5880, 1815, 495}, 2, kViewerButtonFont},
    {CommandButton, "cmdViewSecrets", "View Secrets", {7680, 6480, 1815, 495}, 1, kViewerButtonFont},
    {CommandButton, "cmdMainMenu", "Main Menu", {7680, 7080, 1815, 495}, 0, kViewerButtonFont},
};

constexpr TwipsRect kInside = {1560, 615, 9810, 7800};

} // namespace

ViewSkills::ViewSkills()
    : ViewerWindow("ViewSkills", QStringLiteral("View Skills"), kInside)
{
    BuildViewer(kColumns, kButtons, {"txtPrimMelee"});
    cmdViewAttributes = ConnectButton(this, "cmdViewAttributes", &ViewSkills::cmdViewAttributes_Click);
    cmdViewSecrets = ConnectButton(this, "cmdViewSecrets", &ViewSkills::cmdViewSecrets_Click);
    cmdMainMenu = ConnectButton(this, "cmdMainMenu", &ViewSkills::cmdMainMenu_Click);
}

void ViewSkills::Form_Load()
{
    // Group by group, the base first: the columns' rows are already in that order.
    FillBoxes(kColumns);
}

void ViewSkills::cmdViewAttributes_Click()
{
    HideAndShow<ViewStats>();
}

void ViewSkills::cmdViewSecrets_Click()
{
    HideAndShow<ViewSecret>();
}

void ViewSkills::cmdMainMenu_Click()
{
    HideAndShowMain();
}

void ViewSkills::Forget()
{
    FormInstance<ViewSkills>::Forget(this);
}

} // namespace quelvane
