#include "forms/viewers/ViewSecret.h"

#include <QPushButton>

#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"

namespace quelvane {
namespace {

using R = CharacterRecordType;

// Each caption ends with a blank, which keeps a gap before its box; all end 1815 from the
// left.
constexpr ViewerRow kRows[] = {
    {.top = 50, .label = "lblName", .caption = "Name: ",
     .box = "txtName", .field = &R::Name, .captionLeft = 165,
     .captionBackground = SchemeColour(SysColor::MenuText)},
    {.top = 500, .label = "lblSecret", .caption = "Secret Society: ",
     .box = "txtSecret", .field = &R::Secret, .captionLeft = 165},
    {.top = 1000, .label = "lblMutant", .caption = "Mutant Power: ",
     .box = "txtMutant", .field = &R::Mutant, .captionLeft = 300},
    {.top = 1500, .label = "lblService", .caption = "Service Group: ",
     .box = "txtService", .field = &R::Service, .captionLeft = 195},
    {.top = 2000, .label = "lblCover", .caption = "Cover: ",
     .box = "txtCover", .field = &R::Cover, .captionLeft = 1065},
};
constexpr ViewerColumn kColumns[] = {
    {165, 1650, 240, 1920, 4575, SansSerif(9.75, Bold), kRows},
};

constexpr Control kButtons[] = {
    Button("cmdViewAttributes", "View Attributes", {240, 2500, 1815, 495}, 1, kViewerButtonFont),
    Button("cmdViewSkills", "View Skills", {2280, 2500, 1815, 495}, 2, kViewerButtonFont),
    Button("cmdMainMenu", "Main Menu", {4320, 2500, 1815, 495}, 0, kViewerButtonFont),
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
