#pragma once
#include "ui/menu_fm_design.h"

#include <cstdint>

// The popup menu window's code; its items are MenuFmDesign's.
class MenuForm : public MenuFmDesign {
  public:
    MenuForm();

    // Display modes
    void hyouji_set(std::uint8_t mode); // applies a display mode to the main window
    void m1_Click();
    void m2_Click();
    void m3_Click();
    void moto_Click();
    void defolt_Click();

    // Items that run the main window's commands
    void crip_Click();
    void kabegami_Click();
    void vrj_Click();
};
