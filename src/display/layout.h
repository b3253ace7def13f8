#pragma once
#include <cstdint>

// Where a picture of w x h pixels goes in a box of W x H pixels: the destination and source
// rectangles of one stretching copy.
struct PicLayout {
    std::int32_t dx = 0, dy = 0, dw = 0, dh = 0;
    std::int32_t sx = 0, sy = 0, sw = 0, sh = 0;
    bool valid = false;
};

// keep_size false: fitted to the box with proportions kept, centred. keep_size true: at its
// own size, centred, the middle part when larger than the box. Box and picture sizes are
// rounded half to even first.
PicLayout compute_layout(double box_w, double box_h, double pic_w, double pic_h, bool keep_size);
