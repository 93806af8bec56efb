#include "forms/viewers/ViewSecret.h"

#include <QLineEdit>
#include <QPushButton>

#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"
#include "model/modTarvock.h"
#include "platform/Fonts.h"
#include "platform/SysColors.h"

namespace quelvane {
namespace {

using R = CharacterRecordType;

struct Row {
    int top;
    const char *caption; // the trailing blank keeps a gap before the box
    int captionLeft;
    int captionWidth;
    const char *box;
    std::string R::*field;
    SysColor background = SysColor::WindowFrame;
};

// The captions all end 1815 twips from the left.
constexpr Row kRows[] = {
    {50, "Name: ", 165, 1650, "txtName", &R::Name, SysColor::MenuText},
    {500, "Secret Society: ", 165, 1650, "txtSecret", &R::Secret},
    {1000, "Mutant Power: ", 300, 1515, "txtMutant", &R::Mutant},
    {1500, "Service Group: ", 195, 1620, "txtService", &R::Service},
    {2000, "Cover: ", 1065, 750, "txtCover", &R::Cover},
};
constexpr int kCaptionHeight = 240;
constexpr int kBoxLeft = 1920;
constexpr int kBoxWidth = 4575;

struct Button {
    QPushButton *ViewSecret::*member;
    const char *name;
    const char *caption;
    int left;
    void (ViewSecret::*handler)();
};
constexpr int kButtonTop = 2500;
constexpr Button kButtons[] = {
    {&ViewSecret::cmdViewAttributes, "cmdViewAttributes", "View Attributes", 240,
     &ViewSecret::cmdViewAttributes_Click},
    {&ViewSecret::cmdViewSkills, "cmdViewSkills", "View Skills", 2280, &ViewSecret::cmdViewSkills_Click},
    {&ViewSecret::cmdMainMenu, "cmdMainMenu", "Main Menu", 4320, &ViewSecret::cmdMainMenu_Click},
};

constexpr TwipsRect kInside = {2280, 1500, 6690, 3180};

} // namespace

ViewSecret::ViewSecret()
    : ViewerWindow("ViewSecret", QStringLiteral("View Secrets"), kInside)
{
    const QFont captionFont = MsSansSerif(9.75, Bold);
    for (const Row &row : kRows) {
        AddCaption(row.box, row.caption, {row.captionLeft, row.top, row.captionWidth, kCaptionHeight},
                   captionFont, SystemColor(row.background));
        AddBox(row.box, row.caption, {kBoxLeft, row.top, kBoxWidth, kViewerBoxHeight});
    }
    for (const Button &entry : kButtons) {
        QPushButton *button = AddButton(
            entry.name, entry.caption, {entry.left, kButtonTop, kViewerButtonWidth, kViewerButtonHeight});
        this->*(entry.member) = button;
        connect(button, &QPushButton::clicked, this, entry.handler);
    }

    // Name comes last.
    SetTabChain({"cmdMainMenu", "cmdViewAttributes", "cmdViewSkills", "txtSecret", "txtMutant",
                 "txtService", "txtCover", "txtName"});
    cmdMainMenu->setFocus();
}

void ViewSecret::Form_Load()
{
    // Exactly as stored: nothing trimmed, so the one-blank cover stays one blank.
    for (const Row &row : kRows)
        findChild<QLineEdit *>(QLatin1String(row.box))
            ->setText(RecordText(CharacterRecord.*(row.field)));
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
