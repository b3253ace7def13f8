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

    // Export and version window
    void crip_Click();     // copy to the clipboard
    void kabegami_Click(); // set as wallpaper
    void vrj_Click();      // show the version window
};
