#pragma once
#include "toolkit/control.h"

#include <QColor>
#include <QString>
#include <initializer_list>

namespace tk {

class Form;

// One control's make-up, a row of a window's design table: its rectangle in twips of its
// container, its place in the focus order and the properties most controls share. An empty
// caption or an invalid colour leaves that property as the control has it.
struct ControlLook {
    Control* control = nullptr;
    double left = 0, top = 0, width = 0, height = 0;
    int tab = -1; // -1: the control takes no focus
    QString caption = {};
    QColor back = {};
    QColor fore = {};
    bool visible = true;
};

// Applies the rows in order (geometry, caption, colours, visibility), then the focus order.
void apply_design(Form& form, std::initializer_list<ControlLook> rows);

} // namespace tk
