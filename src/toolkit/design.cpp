#include "toolkit/design.h"

#include "toolkit/command_button.h"
#include "toolkit/form.h"
#include "toolkit/frame.h"
#include "toolkit/label.h"
#include "toolkit/picture_box.h"

#include <algorithm>
#include <vector>

namespace tk {

namespace {

void set_caption(Control& c, const QString& text) {
    if (auto* b = dynamic_cast<CommandButton*>(&c))
        b->setCaption(text);
    else if (auto* l = dynamic_cast<Label*>(&c))
        l->setCaption(text);
    else if (auto* f = dynamic_cast<Frame*>(&c))
        f->setCaption(text);
}

void set_colours(Control& c, const QColor& back, const QColor& fore) {
    if (auto* l = dynamic_cast<Label*>(&c)) {
        if (back.isValid()) l->setBackColor(back);
        if (fore.isValid()) l->setForeColor(fore);
    } else if (auto* p = dynamic_cast<PictureBox*>(&c)) {
        if (back.isValid()) p->setBackColor(back);
        if (fore.isValid()) p->setForeColor(fore);
    }
}

} // namespace

void apply_design(Form& form, std::initializer_list<ControlLook> rows) {
    std::vector<std::pair<Control*, int>> tabs;
    for (const ControlLook& row : rows) {
        Control& c = *row.control;
        c.move(row.left, row.top, row.width, row.height);
        if (!row.caption.isEmpty()) set_caption(c, row.caption);
        set_colours(c, row.back, row.fore);
        if (!row.visible) c.setVisible(false);
        if (row.tab >= 0) tabs.emplace_back(&c, row.tab);
    }
    form.set_tab_order(tabs);
}

} // namespace tk
