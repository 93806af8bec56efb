// ViewSkills: the skills viewer. Shows the fifty skills under the five skill bases, read
// from the record when it loads.
#pragma once

#include "forms/viewers/ViewerWindow.h"

class QPushButton;

namespace quelvane {

class ViewSkills final : public ViewerWindow {
public:
    static constexpr int kCloseOrder = 2;
    ViewSkills();

    // Copies the record's numbers into the boxes; run once per load.
    void Form_Load();

    void cmdViewAttributes_Click();
    void cmdViewSecrets_Click();
    void cmdMainMenu_Click();

    QPushButton *cmdViewAttributes = nullptr;
    QPushButton *cmdViewSecrets = nullptr;
    QPushButton *cmdMainMenu = nullptr;

protected:
    void Forget() override;
};

} // namespace quelvane
