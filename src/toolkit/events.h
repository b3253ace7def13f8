#pragma once
#include <QString>
#include <functional>

namespace tk {

// Runs one event handler coming from the window system or a timer. Handlers run one at a
// time; any failure that escapes a handler ends that handler only, never the program. Failures
// are logged only when the category "pikuta.events" is enabled at info level.
void dispatch(const std::function<void()>& handler);

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
