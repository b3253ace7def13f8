#pragma once
#include "toolkit/form.h"
#include "toolkit/label.h"
#include "toolkit/picture_box.h"

// The version window: a picture with the program's description, its credit and version.
class VrjoDesign : public tk::Form {
  public:
    VrjoDesign();

    // Controls, bottom to top.
    tk::ImageControl Image3{*this, "Image3"}; // background picture, fills the window
    tk::Label Label1{*this, "Label1"};        // credit line
    tk::Label Label2{*this, "Label2"};        // what the program is
    tk::Label Label3{*this, "Label3"};        // no caption: only its tip is ever seen
    tk::Label Label4{*this, "Label4"};        // no caption: only its tip is ever seen
    tk::Label Label5{*this, "Label5"};        // version line, set at load
};
