#include "forms/viewers/ViewSkills.h"

#include <QPushButton>

#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewStats.h"

namespace quelvane {
namespace {

using R = CharacterRecordType;

// A skill base heads its group.
constexpr Font kHeading = SansSerif(9.75, Bold | Underline);
constexpr Font kSkillFont = SansSerif(9.75);

// Captions are literal, odd spellings and missing colons included; "&&" shows one "&".
constexpr ViewerRow kColumn1[] = {
    {120, "lblAgilityBase", "Agility Skill Base:", "txtAgilityBase", &R::AglBase, kHeading},
    {480, "lblForceSword", "Force Sword:", "txtForceSword", &R::ForceSword},
    {840, "lblGrenade", "Grenade:", "txtGrenade", &R::Grenade},
    {1200, "lblNeurowhip", "Neurowhip:", "txtNeurowhip", &R::Neurowhip},
    {1560, "lblPrimMelee", "Primitive Melee Weapons:", "txtPrimMelee", &R::PrimMelee},
    {1920, "lblTruncheon", "Truncheon:", "txtTruncheon", &R::Truncheon},
    {2280, "lblUnarmed", "Unarmed:", "txtUnarmed", &R::Unarmed},
    {2760, "lblChuBase", "Chutzpah Skill Base:", "txtChuBase", &R::ChuBase, kHeading},
    {3120, "lblBootlicking", "Bootlicking:", "txtBootlicking", &R::Bootlicking},
    {3480, "lblBribery", "Bribery:", "txtBribery", &R::Bribery},
    {3840, "lblCon", "Con:", "txtCon", &R::Con},
    {4200, "lblFastTalk", "Fast Talk:", "txtFastTalk", &R::FastTalk},
    {4560, "lblForgery", "Forgery:", "txtForgery", &R::Forgery},
    {4920, "lblInterrogation", "Interrogation:", "txtInterrogation", &R::Interrogation},
    {5280, "lblIntimidation", "Intimidation:", "txtIntimidation", &R::Intimidation},
    {5640, "lblMotivation", "Motivation:", "txtMotivation", &R::Motivation},
    {6000, "lblOratory", "Oratory:", "txtOratory", &R::Oratory},
    {6360, "lblPsychescan", "Psychescan:", "txtPsychescan", &R::Psychescan},
    {6720, "lblSpuriousLogic", "Spurious Logic:", "txtSpuriousLogic", &R::SpuriousLogic},
};

constexpr ViewerRow kColumn2[] = {
    {120, "lblDexBase", "Dexterity Skill Base:", "txtDexBase", &R::DexBase, kHeading},
    {480, "lblEnergyWeapons", "Energy Weapons:", "txtEnergyWeapons", &R::EnergyWeapons},
    {840, "lblFieldWeapons", "Field Weapons:", "txtFieldWeapons", &R::FieldWeapons},
    {1200, "lblLaserWeapons", "Laser Weapons:", "txtLaserWeapons", &R::LaserWeapons},
    {1560, "lblMissle", "Primitive Missle Weapons:", "txtMissle", &R::Missle},
    {1920, "lblProjectileWeapons", "Projectile Weapons", "txtProjectileWeapons", &R::ProjectileWeapons},
    {2280, "lblVehicleAimedWeapons", "Vehicle Aimed Weapons:", "txtVehicleAimedWeapons", &R::VehicleAimedWeapons},
    {2640, "lblVehicleFieldWeapons", "Vehicle Field Weapons:", "txtVehicleFieldWeapons", &R::VehicleFieldWeapons},
    {.top = 3000, .label = "lblVehicleLaunchedWeapons", .caption = "Vehicle Launched Weapons:",
     .box = "txtVehicleLaunchedWeapons", .field = &R::VehicleLaunchedWeapons, .captionLeft = 3360},
    {3480, "lblMechBase", "Mechanical Skill Base:", "txtMechBase", &R::MechBase, kHeading},
    {3840, "lblAutocar", "Autocar Op. && Maint.:", "txtAutocar", &R::Autocar},
    {4200, "lblCopter", "Copter Op. && Maint.:", "txtCopter", &R::Copter},
    {4560, "lblCrawler", "Crawler Op. && Maint.:", "txtCrawler", &R::Crawler},
    {4920, "lblDocbot", "Docbot Op. && Maint.:", "txtDocbot", &R::Docbot},
    {5280, "lblFlybot", "Flybot Op. && Maint.:", "txtFlybot", &R::Flybot},
    {5640, "lblHabitat", "Habitat Engineering:", "txtHabitat", &R::Habitat},
    {6000, "lblHover", "Hover Op. && Maint.:", "txtHover", &R::Hover},
    {6360, "lblJackobot", "Jackobot Op. && Maint.:", "txtJackobot", &R::Jackobot},
    {6720, "lblScrubot", "Scrubot Op. && Maint.:", "txtScrubot", &R::Scrubot},
    {7080, "lblTransbot", "Transbot Op. && Maint.:", "txtTransbot", &R::Transbot},
    {7440, "lblVulturecraft", "Vulturecraft Op. && Maint.:", "txtVulturecraft", &R::Vulturecraft},
};

constexpr ViewerRow kColumn3[] = {
    {120, "lblMoxBase", "Moxie Skill Base:", "txtMoxBase", &R::MoxBase, kHeading},
    {480, "lblBiochemical", "Biochemical Therapy:", "txtBiochemical", &R::Biochemical},
    {840, "lblBiosciences", "Biosciences:", "txtBiosciences", &R::Biosciences},
    {1200, "lblChemical", "Chemical Engineering:", "txtChemical", &R::Chemical},
    {1560, "lblAnalysis", "Data Analysis:", "txtAnalysis", &R::Analysis},
    {1920, "lblSearch", "Data Search:", "txtSearch", &R::Search},
    {2280, "lblDemolition", "Demolition:", "txtDemolition", &R::Demolition},
    {2640, "lblElectronic", "Electronic Engineering:", "txtElectronic", &R::Electronic},
    {.top = 3000, .label = "lblMechanical", .caption = "Mechanical Engineering:",
     .box = "txtMechanical", .field = &R::Mechanical, .captionLeft = 6720},
    {3360, "lblMedical", "Medical:", "txtMedical", &R::Medical},
    {3720, "lblNuclear", "Nuclear Engineering:", "txtNuclear", &R::Nuclear},
    {4080, "lblSecurity", "Security", "txtSecurity", &R::Security},
    {4440, "lblStealth", "Stealth:", "txtStealth", &R::Stealth},
    {4800, "lblSurveillance", "Surveillance:", "txtSurveillance", &R::Surveillance},
    {5160, "lblSurvival", "Survival", "txtSurvival", &R::Survival},
};

constexpr ViewerColumn kColumns[] = {
    {240, 2415, 375, 2760, kViewerBoxWidth, kSkillFont, kColumn1},
    {3600, 2415, 375, 6120, kViewerBoxWidth, kSkillFont, kColumn2},
    {6840, 2175, 375, 9120, kViewerBoxWidth, kSkillFont, kColumn3},
};

constexpr Control kButtons[] = {
    Button("cmdViewAttributes", "View Attributes", {7680, 5880, 1815, 495}, 2, kViewerButtonFont),
    Button("cmdViewSecrets", "View Secrets", {7680, 6480, 1815, 495}, 1, kViewerButtonFont),
    Button("cmdMainMenu", "Main Menu", {7680, 7080, 1815, 495}, 0, kViewerButtonFont),
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
