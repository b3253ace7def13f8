// The search window's handlers.
#include "app/kensaku_set.h"
#include "app/module2.h"

void KensakuSet::Form_Load() {
    Module2::set_tooltips();
}
