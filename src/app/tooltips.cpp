// Balloon help: the fixed tool tips of the main and the search window, on or off together.
#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "ui/texts.h"

namespace {

void set_tips(std::span<const texts::Tip> tips, bool with_text) {
    // Both windows are touched first, as the search window's loading sets its tips too.
    tk::Form& m = *main_fm;
    tk::Form& k = *kensaku_set;
    for (const texts::Tip& tip : tips) {
        tk::Form& window = QLatin1String(tip.window) == m.name() ? m : k;
        if (tk::Control* c = window.control(QString::fromUtf8(tip.control)))
            c->setToolTipText(with_text ? QString::fromUtf8(tip.text) : QString());
    }
}

} // namespace

void Module2::set_tooltips() {
    const bool on = options.opc4_flag == 1;
    if (!on) set_tips(texts::self_set_tips(), false);
    set_tips(texts::fixed_tips(), on);
}
