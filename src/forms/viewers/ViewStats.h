// ViewStats: the attributes viewer. Shows the eight attributes, the three values derived
// from them and the five skill bases, read from the record when it loads.
#pragma once

#include "forms/viewers/ViewerWindow.h"

class QPushButton;

namespace quelvane {

class ViewStats final : public ViewerWindow {
public:
    static constexpr int kCloseOrder = 1;
    ViewStats();

    // Copies the record's numbers into the boxes; run once per load.
    void Form_Load();

    void cmdViewSkills_Click();
    void cmdViewSecrets_Click();
    void cmdMainMenu_Click();

    QPushButton *cmdViewSkills = nullptr;
    QPushButton *cmdViewSecrets = nullptr;
    QPushButton *cmdMainMenu = nullptr;

protected:
    void Forget() override;
};

} // namespace quelvane
