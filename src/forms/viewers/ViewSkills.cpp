#include "forms/viewers/ViewSkills.h"

#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <span>
#include <vector>

#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewStats.h"
#include "model/modTarvock.h"
#include "platform/Fonts.h"
#include "platform/SysColors.h"

namespace quelvane {
namespace {

using R = CharacterRecordType;

enum RowKind { Skill, Heading };

struct Row {
    int top;
    const char *caption;
    const char *box;
    int16_t R::*field;
    RowKind kind = Skill;
    int wideLeft = 0; // a caption too long for its column starts here, same right edge
};

// Captions are literal, odd spellings and missing colons included; "&&" shows one "&".
constexpr Row kColumn1[] = {
    {120, "Agility Skill Base:", "txtAgilityBase", &R::AglBase, Heading},
    {480, "Force Sword:", "txtForceSword", &R::ForceSword},
    {840, "Grenade:", "txtGrenade", &R::Grenade},
    {1200, "Neurowhip:", "txtNeurowhip", &R::Neurowhip},
    {1560, "Primitive Melee Weapons:", "txtPrimMelee", &R::PrimMelee},
    {1920, "Truncheon:", "txtTruncheon", &R::Truncheon},
    {2280, "Unarmed:", "txtUnarmed", &R::Unarmed},
    {2760, "Chutzpah Skill Base:", "txtChuBase", &R::ChuBase, Heading},
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

constexpr Row kColumn2[] = {
    {120, "Dexterity Skill Base:", "txtDexBase", &R::DexBase, Heading},
    {480, "Energy Weapons:", "txtEnergyWeapons", &R::EnergyWeapons},
    {840, "Field Weapons:", "txtFieldWeapons", &R::FieldWeapons},
    {1200, "Laser Weapons:", "txtLaserWeapons", &R::LaserWeapons},
    {1560, "Primitive Missle Weapons:", "txtMissle", &R::Missle},
    {1920, "Projectile Weapons", "txtProjectileWeapons", &R::ProjectileWeapons},
    {2280, "Vehicle Aimed Weapons:", "txtVehicleAimedWeapons", &R::VehicleAimedWeapons},
    {2640, "Vehicle Field Weapons:", "txtVehicleFieldWeapons", &R::VehicleFieldWeapons},
    {3000, "Vehicle Launched Weapons:", "txtVehicleLaunchedWeapons", &R::VehicleLaunchedWeapons, Skill, 3360},
    {3480, "Mechanical Skill Base:", "txtMechBase", &R::MechBase, Heading},
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

constexpr Row kColumn3[] = {
    {120, "Moxie Skill Base:", "txtMoxBase", &R::MoxBase, Heading},
    {480, "Biochemical Therapy:", "txtBiochemical", &R::Biochemical},
    {840, "Biosciences:", "txtBiosciences", &R::Biosciences},
    {1200, "Chemical Engineering:", "txtChemical", &R::Chemical},
    {1560, "Data Analysis:", "txtAnalysis", &R::Analysis},
    {1920, "Data Search:", "txtSearch", &R::Search},
    {2280, "Demolition:", "txtDemolition", &R::Demolition},
    {2640, "Electronic Engineering:", "txtElectronic", &R::Electronic},
    {3000, "Mechanical Engineering:", "txtMechanical", &R::Mechanical, Skill, 6720},
    {3360, "Medical:", "txtMedical", &R::Medical},
    {3720, "Nuclear Engineering:", "txtNuclear", &R::Nuclear},
    {4080, "Security", "txtSecurity", &R::Security},
    {4440, "Stealth:", "txtStealth", &R::Stealth},
    {4800, "Surveillance:", "txtSurveillance", &R::Surveillance},
    {5160, "Survival", "txtSurvival", &R::Survival},
};

struct Column {
    int captionLeft;
    int captionWidth;
    int boxLeft;
    std::span<const Row> rows;
};
constexpr Column kColumns[] = {
    {240, 2415, 2760, kColumn1},
    {3600, 2415, 6120, kColumn2},
    {6840, 2175, 9120, kColumn3},
};
constexpr int kCaptionHeight = 375;

// Tab visits the boxes column by column, except this one, which comes last.
constexpr const char *kLastInTab = "txtPrimMelee";

struct Button {
    QPushButton *ViewSkills::*member;
    const char *name;
    const char *caption;
    int top;
    void (ViewSkills::*handler)();
};
constexpr int kButtonLeft = 7680;
constexpr Button kButtons[] = {
    {&ViewSkills::cmdViewAttributes, "cmdViewAttributes", "View Attributes", 5880,
     &ViewSkills::cmdViewAttributes_Click},
    {&ViewSkills::cmdViewSecrets, "cmdViewSecrets", "View Secrets", 6480, &ViewSkills::cmdViewSecrets_Click},
    {&ViewSkills::cmdMainMenu, "cmdMainMenu", "Main Menu", 7080, &ViewSkills::cmdMainMenu_Click},
};

constexpr TwipsRect kInside = {1560, 615, 9810, 7800};

} // namespace

ViewSkills::ViewSkills()
    : ViewerWindow("ViewSkills", QStringLiteral("View Skills"), kInside)
{
    const QFont headingFont = MsSansSerif(9.75, Bold | Underline);
    const QFont skillFont = MsSansSerif(9.75);
    const QColor frame = SystemColor(SysColor::WindowFrame);
    std::vector<const char *> tabChain = {"cmdMainMenu", "cmdViewSecrets", "cmdViewAttributes"};
    for (const Column &column : kColumns) {
        for (const Row &row : column.rows) {
            const int right = column.captionLeft + column.captionWidth;
            const int left = row.wideLeft ? row.wideLeft : column.captionLeft;
            AddCaption(row.box, row.caption, {left, row.top, right - left, kCaptionHeight},
                       row.kind == Heading ? headingFont : skillFont, frame);
            AddBox(row.box, row.caption, {column.boxLeft, row.top, kViewerBoxWidth, kViewerBoxHeight});
            if (std::strcmp(row.box, kLastInTab) != 0)
                tabChain.push_back(row.box);
        }
    }
    tabChain.push_back(kLastInTab);

    for (const Button &entry : kButtons) {
        QPushButton *button = AddButton(
            entry.name, entry.caption, {kButtonLeft, entry.top, kViewerButtonWidth, kViewerButtonHeight});
        this->*(entry.member) = button;
        connect(button, &QPushButton::clicked, this, entry.handler);
    }

    SetTabChain(tabChain);
    cmdMainMenu->setFocus();
}

void ViewSkills::Form_Load()
{
    // Group by group, the base first: the columns' rows are already in that order.
    for (const Column &column : kColumns) {
        for (const Row &row : column.rows)
            findChild<QLineEdit *>(QLatin1String(row.box))
                ->setText(QString::fromStdString(NumberText(CharacterRecord.*(row.field))));
    }
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
