#pragma once
// Picture display: what the folder offers. Its handlers are members of the windows: loading and
// drawing (drawing.cpp), the display modes and the popup menu (display_modes.cpp, MenuForm's
// hyouji_set and menu items), the resize handling (resize.cpp) and the loupe (loupe.cpp). Its
// state is Module2::placement and options.moto_flag, MainForm::picture and MainForm::loupe.
// Declared here: the layout and loupe arithmetic, kept apart from the windows so that it can be
// checked by itself.
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

// Magnification of a zoom index: 5 is 1/32, 10 the picture's own size, 18 is 42. Indexes
// outside the table are never asked for; they give the own size.
double zoom_rate(const std::uint8_t& index);

// One loupe drawing: the centre kept on the scaled picture, and the part of the picture
// (source, in its own pixels) that lands where in the view (destination, in view pixels).
struct LoupeView {
    std::int32_t loupe_x = 0, loupe_y = 0; // the centre after rescaling and clamping
    std::int32_t dx = 0, dy = 0, dw = 0, dh = 0;
    std::int32_t sx = 0, sy = 0, sw = 0, sh = 0;
    bool valid = false; // false: nothing to draw, the view stays clear
};

// The view of pic_w x pic_h pixels onto a picture of moto_w x moto_h at factor f_new, with the
// centre (loupe_x, loupe_y) given in pixels of the picture scaled by f_old.
LoupeView loupe_view(double pic_w, double pic_h, double moto_w, double moto_h, double f_new,
                     double f_old, std::int32_t loupe_x, std::int32_t loupe_y);

// What a point of pic is for the mouse: the loupe corner at the top right, and in the full
// window modes with the loupe off a strip along the bottom with three parts and gaps between.
enum class PicSpot { Elsewhere, LoupeCorner, StripBack, StripPlay, StripNext, StripGap };

// `strip` says whether the control strip is in force (display mode not normal, loupe off).
PicSpot pic_spot(double sw, double sh, double x, double y, bool strip);

// With the loupe on, whether a click at (x, y) moves the loupe: anywhere left of or below the
// corner (its left and lower border lines belong to neither).
bool outside_loupe_corner(double sw, double sh, double x, double y);
