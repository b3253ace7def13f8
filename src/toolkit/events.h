#pragma once
#include <QString>
#include <functional>

namespace tk {

// Runs one event handler coming from the window system or a timer. Handlers run one at a
// time; a failure that escapes a handler is dropped there rather than ending the program.
void dispatch(const std::function<void()>& handler);

// How many handlers are on the stack now (0 when the event loop itself is running).
int handler_depth();

// Runs `fn` once no handler is on the stack any more (at once when none is).
void when_idle(std::function<void()> fn);

// Serves pending window events from inside a handler.
void DoEvents();

// A message box with the information icon and an OK button.
void MsgBoxInfo(const QString& text, const QString& title);
// A short beep.
void Beep();

// Tests replace the two user-facing effects above.
struct UserEffects {
    std::function<void(const QString& text, const QString& title)> message_box;
    std::function<void()> beep;
};
void set_user_effects(UserEffects effects);

} // namespace tk
