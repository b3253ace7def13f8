#pragma once
#include "ui/kensaku_set_design.h"

#include <cstdint>

// The search window's code; its controls are KensakuSetDesign's.
class KensakuSet : public KensakuSetDesign {
  public:
    // Wires the controls' events to the handlers.
    KensakuSet();

    std::int32_t anime_x = 0; // left edge of the part of the strip in pic2 that pic shows

    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unload_mode) override;

    // Search panel
    void Command7_Click(); // search / stop
    void Command7_MouseMove();
    void Command2_Click(); // close
    void Command3_Click(); // to the settings panel
    void Timer1_Timer();   // animation
    // Settings panel
    void Command1_Click(); // OK
    void Command4_Click(); // defaults
    void Command5_Click(); // cancel
    std::uint8_t opc_set();

  private:
    void show_panel(bool search, std::int32_t frame);
};
