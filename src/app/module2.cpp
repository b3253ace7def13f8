#include "app/module2.h"

#include "app/forms.h"
#include "app/main_fm.h"
#include "platform/single_instance.h"

namespace Module2 {

void reset_state() {
    state = State{};
}

bool Main() {
    // A running instance comes to the front and this one ends without loading anything.
    if (platform::activate_window_titled(MainFmDesign::kTitle)) return false;
    main_fm->Show();
    accept_handed_paths();
    return true;
}

} // namespace Module2
