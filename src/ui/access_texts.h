#pragma once

namespace tk {
class Form;
}

// What screen readers say of the windows' controls, beside what they show themselves.
namespace access_texts {

// Names the controls of `window` that no caption names (the play list, the picture area, the
// speed bar, the labels that show a value...), and gives each control of the balloon-help
// table its tip as a description that stays while balloon help is off.
void apply(tk::Form& window);

} // namespace access_texts
