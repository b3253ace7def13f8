#pragma once
#include "ui/vrjo_design.h"

#include <QString>
#include <cstdint>

// "Ver" major "." minor (at least two digits) "  Revision" revision.
QString version_line(std::uint16_t major, std::uint16_t minor, std::uint16_t revision);

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
