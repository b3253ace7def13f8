#pragma once
#include "toolkit/control.h"

#include <QString>
#include <functional>

namespace tk {

// Value 0 (clear) or 1 (ticked); 2 (greyed) is accepted and shown clear.
class CheckBox : public Control {
  public:
    CheckBox(Container& parent, QString name, const QString& caption = {});
    int value() const { return value_; }
    void setValue(int v);
    std::function<void()> onClick;

  private:
    int value_ = 0;
};

} // namespace tk
