#pragma once
#include <QMargins>
#include <QSize>

class QWidget;

namespace platform {

// What the window manager will put around the client area of `window` (a top-level that
// has not been shown yet): title bar and borders, in pixels. Zero when nobody adds a frame
// or it cannot be learnt before the window appears.
QMargins expected_frame(QWidget* window);

// What a window's frame lets the user do besides moving and closing the window.
struct WindowActions {
    bool resize = false;   // borders that size the window
    bool minimise = false; // a minimise button
    // The program has the window maximised: the window manager must let it be, though the
    // frame offers no maximise button.
    bool maximised = false;
};

// Asks the window manager to offer `window` (a top-level) these actions and no others.
// Some window managers offer more whatever they are asked; the toolkit copes with that.
void offer_window_actions(QWidget* window, WindowActions actions);

// What the window system says of a shown top-level window at this moment, in device pixels.
struct WindowNow {
    enum State { Normal, Minimised, Maximised } state = Normal;
    QSize client;   // the client area
    QMargins frame; // what the window manager puts around it
};

// How long the parts of a window manager's change (state, size, frame) may take to reach the
// toolkit one after another, in milliseconds; 0 where they come in one report.
int window_manager_settling_ms();

// Asks the window system directly, past the events not yet handled; false where the toolkit's
// events are all there is to know (then they arrive in step with the window's real state).
bool window_now(QWidget* window, WindowNow& now);

} // namespace platform
