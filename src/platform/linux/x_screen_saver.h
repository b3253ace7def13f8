#pragma once

// The X server's own screen saver and power saving, suspended through a connection of our own:
// the server resumes them when that connection closes, also when the process dies. Kept apart
// because the X library's headers clash with Qt's names.
namespace platform::x11 {

// A connection that holds the suspension; null when there is no X server or it cannot suspend.
void* suspend_screen_saver();
// Resumes and closes the connection (null does nothing).
void resume_screen_saver(void* suspension);

} // namespace platform::x11
