// The display modes of the main window, chosen from the popup menu.
#include "app/menu_fm.h"
#include "app/module2.h"

void MenuForm::hyouji_set(std::uint8_t mode) {
    // Choosing the mode already in force changes nothing. The other modes and their window
    // layouts come with the display-mode feature; until then every run stays in mode 0.
    if (mode == Module2::hyouji_mode) return;
}
