#pragma once
#include "ui/vrjo_design.h"

// The version window: opened from the popup menu, gone again at any click or typed character.
class Vrjo : public VrjoDesign {
  public:
    Vrjo();

    void Form_Load() override;
    void Form_Click() override;
    void Form_KeyPress(int& key_ascii) override;
    void Image3_Click();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();
};
