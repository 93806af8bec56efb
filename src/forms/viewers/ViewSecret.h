// ViewSecret: the secrets viewer. Shows the name, secret society, mutant power, service
// group and cover, read from the record when it loads.
#pragma once

#include "forms/viewers/ViewerWindow.h"

class QPushButton;

namespace quelvane {

class ViewSecret final : public ViewerWindow {
public:
    static constexpr int kCloseOrder = 3;
    ViewSecret();

    // Copies the record's texts into the boxes; run once per load.
    void Form_Load();

    void cmdViewAttributes_Click();
    void cmdViewSkills_Click();
    void cmdMainMenu_Click();

    QPushButton *cmdViewAttributes = nullptr;
    QPushButton *cmdViewSkills = nullptr;
    QPushButton *cmdMainMenu = nullptr;

protected:
    void Forget() override;
};

} // namespace quelvane
