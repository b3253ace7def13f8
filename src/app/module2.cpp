#include "app/module2.h"

#include "app/forms.h"
#include "app/main_fm.h"
#include "app/messages.h"
#include "platform/single_instance.h"

namespace Module2 {

void reset_state() {
    play_no = 0;
    kensaku_flag = 0;
    hit_count = 0;
    play_flag = 0;
    opc1_flag = opc2_flag = opc3_flag = opc4_flag = 0;
    app_path.clear();
    hyouji_mode = 0;
    moto_flag = 0;
    n_left = n_top = 0;
    w_width = w_height = w_left = w_top = 0;
}

bool Main() {
    // A running instance comes to the front and this one ends without loading anything.
    if (platform::activate_window_titled(messages::kMainTitle)) return false;
    main_fm->Show();
    accept_handed_paths();
    return true;
}

} // namespace Module2
