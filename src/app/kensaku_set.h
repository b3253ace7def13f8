#pragma once
#include "ui/kensaku_set_design.h"

#include <cstdint>

// The search window's code; its controls are KensakuSetDesign's.
class KensakuSet : public KensakuSetDesign {
  public:
    std::int32_t anime_x = 0; // position of the animation strip shown in pic

    void Form_Load() override;
};
