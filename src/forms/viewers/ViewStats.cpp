#include "forms/viewers/ViewStats.h"

#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "model/modTarvock.h"
#include "platform/Fonts.h"
#include "platform/SysColors.h"

namespace quelvane {
namespace {

using R = CharacterRecordType;

struct Cell {
    const char *caption; // nullptr: nothing in this cell
    const char *box;
    int16_t R::*field;
};

struct Row {
    int top;
    Cell left;
    Cell right;
};

// Each derived value stands on the row of the attribute it comes from.
constexpr Row kRows[] = {
    {120, {"Strength:", "txtStrength", &R::Strength}, {"Carrying Capacity:", "txtCarry", &R::Carry}},
    {600, {nullptr, nullptr, nullptr}, {"Damage Bonus:", "txtDamage", &R::Damage}},
    {1080, {"Endurance:", "txtEndurance", &R::Endurance}, {"Macho Bonus:", "txtMacho", &R::Macho}},
    {1560, {"Agility:", "txtAgility", &R::Agility}, {"Agility Skill Base:", "txtAglBase", &R::AglBase}},
    {2040, {"Dexterity:", "txtDexterity", &R::Dexterity}, {"Dexterity Skill Base:", "txtDexBase", &R::DexBase}},
    {2520, {"Moxie:", "txtMoxie", &R::Moxie}, {"Moxie Skill Base:", "txtMoxBase", &R::MoxBase}},
    {3000, {"Chutzpah:", "txtChutzpah", &R::Chutzpah}, {"Chutzpah Skill Base:", "txtChuBase", &R::ChuBase}},
    {3480, {"Mechanical Apt.:", "txtMechApt", &R::MechApt}, {"Mechanical Skill Base:", "txtMechBase", &R::MechBase}},
    {3960, {"Power:", "txtPower", &R::Power}, {nullptr, nullptr, nullptr}},
};

struct Column {
    int captionLeft;
    int captionWidth;
    int boxLeft;
};
constexpr Column kLeftColumn = {0, 1935, 2040};
constexpr Column kRightColumn = {2880, 2415, 5400};
constexpr int kCaptionHeight = 375;

struct Button {
    QPushButton *ViewStats::*member;
    const char *name;
    const char *caption;
    int left;
    void (ViewStats::*handler)();
};
constexpr int kButtonTop = 4440;
constexpr Button kButtons[] = {
    {&ViewStats::cmdViewSkills, "cmdViewSkills", "View Skills", 360, &ViewStats::cmdViewSkills_Click},
    {&ViewStats::cmdViewSecrets, "cmdViewSecrets", "View Secrets", 2400, &ViewStats::cmdViewSecrets_Click},
    {&ViewStats::cmdMainMenu, "cmdMainMenu", "Main Menu", 4440, &ViewStats::cmdMainMenu_Click},
};

constexpr TwipsRect kInside = {1275, 1830, 6405, 5100};

} // namespace

ViewStats::ViewStats()
    : ViewerWindow("ViewStats", QStringLiteral("View Attributes"), kInside)
{
    const QFont captionFont = MsSansSerif(9.75, Bold);
    const QColor frame = SystemColor(SysColor::WindowFrame);
    for (const Row &row : kRows) {
        for (const auto &[cell, column] :
             {std::pair{row.left, kLeftColumn}, std::pair{row.right, kRightColumn}}) {
            if (!cell.caption)
                continue;
            AddCaption(cell.box, cell.caption,
                       {column.captionLeft, row.top, column.captionWidth, kCaptionHeight},
                       captionFont, frame);
            AddBox(cell.box, cell.caption,
                   {column.boxLeft, row.top, kViewerBoxWidth, kViewerBoxHeight});
        }
    }
    for (const Button &entry : kButtons) {
        QPushButton *button = AddButton(
            entry.name, entry.caption, {entry.left, kButtonTop, kViewerButtonWidth, kViewerButtonHeight});
        this->*(entry.member) = button;
        connect(button, &QPushButton::clicked, this, entry.handler);
    }

    // Strength comes last.
    SetTabChain({"cmdViewSkills", "cmdViewSecrets", "cmdMainMenu", "txtAgility", "txtDexterity",
                 "txtMoxie", "txtChutzpah", "txtMechApt", "txtPower", "txtCarry", "txtDamage",
                 "txtMacho", "txtAglBase", "txtDexBase", "txtMoxBase", "txtChuBase", "txtMechBase",
                 "txtEndurance", "txtStrength"});
    cmdViewSkills->setFocus();
}

void ViewStats::Form_Load()
{
    for (const Row &row : kRows) {
        for (const Cell &cell : {row.left, row.right}) {
            if (!cell.box)
                continue;
            const int16_t value = CharacterRecord.*(cell.field);
            findChild<QLineEdit *>(QLatin1String(cell.box))
                ->setText(QString::fromStdString(NumberText(value)));
        }
    }
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
