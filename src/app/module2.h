#pragma once
#include <QString>
#include <cstdint>

namespace tk {
class Form;
class PictureBox;
} // namespace tk

// State shared by every window, with program lifetime, and the routines that several
// windows call.
namespace Module2 {

using byte = std::uint8_t;

// kensaku_flag while a folder search runs (all bits set); 0 asks it to stop.
inline constexpr byte kSearchRunning = 255;

// The slideshow's place in the play list.
struct Playback {
    std::int32_t play_no = 0; // index in List1 of the picture shown; -1 none
    byte play_flag = 0;       // 1 while the slideshow plays
};

// The folder search.
struct Search {
    byte kensaku_flag = 0;      // kSearchRunning while a search runs
    std::int32_t hit_count = 0; // files found by the current search
};

// What the user chose: the file types listed, balloon help, the picture at its own size.
struct Options {
    byte opc1_flag = 0; // bitmaps, device-independent bitmaps, metafiles listed
    byte opc2_flag = 0; // JPEG listed
    byte opc3_flag = 0; // GIF listed
    byte opc4_flag = 0; // balloon help shown
    byte moto_flag = 0; // keep the picture's own size (not stored)
};

// The display mode, and where the window goes in each mode that keeps a place.
struct Placement {
    byte hyouji_mode = 0;                   // 0 normal, 1 maximised, 2 fit to window, 9 transient
    std::int32_t n_left = 0, n_top = 0;     // normal-mode position
    std::int32_t w_width = 0, w_height = 0; // fit-to-window size
    std::int32_t w_left = 0, w_top = 0;     // fit-to-window position
};

// Everything shared by the windows, with program lifetime; a value-initialised State is the
// program's start.
struct State {
    QString app_path; // the program's folder, ending in one separator
    Playback play;
    Search search;
    Options options;
    Placement placement;
};

inline State state;
// The parts of the state as the code reaches them.
inline QString& app_path = state.app_path;
inline Playback& play = state.play;
inline Search& search = state.search;
inline Options& options = state.options;
inline Placement& placement = state.placement;

// Every variable back to its value at program start (for tests).
void reset_state();

// The entry procedure: refuses a second instance, otherwise shows the main window.
// Returns false when another instance was brought to the front instead.
bool Main();
// The same with a picture or folder to open (from the file manager): a running instance is
// handed the path instead, and comes to the front to open it.
bool Main(const QString& path);

// From now on, paths that instances started later hand over open in the main window.
void accept_handed_paths();

// File1's pattern from the three file-type flags.
void set_pattern();

// The fixed tool tips, all set or all cleared by opc4_flag.
void set_tooltips();

// A window's title bar and borders in twips: its Height less that of its ruler strip, which
// re-docking to the left edge makes exactly as tall as the client area.
std::int32_t frame_height(tk::Form& window, tk::PictureBox& ruler);

} // namespace Module2
