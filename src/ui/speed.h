#pragma once

// The slideshow speed: HScroll1's value v, from 1 (fastest) to 10 (slowest), and Timer1's step.
namespace speed {

inline constexpr int kFastest = 1;
inline constexpr int kSlowest = 10;
inline constexpr int kDefault = 3; // at start, and what DEFAULT SPEED goes back to

// Timer1's interval from start until the speed first changes: not the default speed's.
inline constexpr int kStartIntervalMs = 1500;

// Timer1's interval at speed v, once the speed has changed.
constexpr int interval_ms(int v) {
    return 50 * v * v;
}

} // namespace speed
