#include "forms/viewers/ViewSecret.h"

#include <QPushButton>

#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"

namespace quelvane {
namespace {

using R = CharacterRecordType;
using enum ControlKind;

// Each caption ends with a blank, which keeps a gap before its box; all end 1815 from the
// left.
constexpr ViewerRow kRows[] = {
    {50, "Name: ", "txtName", &R::Name, {}, 165, SchemeColour(SysColor::MenuText)},
    {500, "Secret Society: ", "txtSecret", &R::Secret, {}, 165},
    {1000, "Mutant Power: ", "txtMutant", &R::Mutant, {}, 300},
    {1500, "Service Group: ", "txtService", &R::Service, {}, 195},
    {2000, "Cover: ", "txtCover", &R::Cover, {}, 1065},
};
constexpr ViewerColumn kColumns[] = {
    {165, 1650, 240, 1920, 4575, {9.75, Bold}, kRows},
};

constexpr Control kButtons[] = {
    {CommandButton, "cmdViewAttributes", "View Attributes", {240, 2500, 1815, 495}, 1, kViewerButtonFont},
    {CommandButton, "cmdViewSkills", "View Skills", {2280, 2500, 1815, 495}, 2, kViewerButtonFont},
    {CommandButton, "cmdMainMenu", "Main Menu", {4320, 2500, 1815, 495}, 0, kViewerButtonFont},
};

constexpr TwipsRect kInside = {2280, 1500, 6690, 3180};

} // namespace

ViewSecret::ViewSecret()
    : ViewerWindow("ViewSecret", QStringLiteral("View Secrets"), kInside)
{
    BuildViewer(kColumns, kButtons, {"txtName"});
    cmdViewAttributes = ConnectButton(this, "cmdViewAttributes", &ViewSecret::cmdViewAttributes_Click);
    cmdViewSkills = ConnectButton(this, "cmdViewSkills", &ViewSecret::cmdViewSkills_Click);
    cmdMainMenu = ConnectButton(this, "cmdMainMenu", &ViewSecret::cmdMainMenu_Click);
}

void ViewSecret::Form_Load()
{
    FillBoxes(kColumns);
}

void ViewSecret::cmdViewAttributes_Click()
{
    HideAndShow<ViewStats>();
}

void ViewSecret::cmdViewSkills_Click()
{
    HideAndShow<ViewSkills>();
}

void ViewSecret::cmdMainMenu_Click()
{
    HideAndShowMain();
}

void ViewSecret::Forget()
{
    FormInstance<ViewSecret>::Forget(this);
}

} // namespace quelvane
