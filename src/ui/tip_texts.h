#pragma once
#include <span>

// The fixed balloon-help texts of the main and the search window, by window and control name.
namespace tip_texts {

struct Tip {
    const char* window; // the window's name: "main_fm" or "kensaku_set"
    const char* control;
    const char* text; // UTF-8
};

// Shown while balloon help is on.
std::span<const Tip> fixed();

// Controls that set their own tips as the mouse moves over them; with balloon help off they
// are cleared together with the fixed ones (text empty).
std::span<const Tip> self_set();

} // namespace tip_texts
