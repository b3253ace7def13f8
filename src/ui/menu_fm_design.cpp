#include "ui/menu_fm_design.h"

MenuFmDesign::MenuFmDesign() : tk::Form(QStringLiteral("menu_fm")) {
    setBorderStyle(tk::FixedSingle);
    design(1440, 360);
    moto.setChecked(false);
    menyu.setAccessibleName(menyu.title()); // a popup says its caption only when asked to
}
