#pragma once
#include "toolkit/control.h"

#include <functional>

namespace tk {

class HScrollBar : public Control {
  public:
    HScrollBar(Container& parent, QString name);
    int min() const { return min_; }
    int max() const { return max_; }
    void setRange(int min, int max);
    void setSteps(int small_change, int large_change);
    // While the thumb is dragged this is the thumb's position.
    int value() const;
    // A value outside min..max fails (InvalidProperty); a changed value raises onChange.
    void setValue(int v);
    std::function<void()> onChange;
    std::function<void()> onScroll;

  private:
    void commit(int v);
    int min_ = 0, max_ = 32767, value_ = 0;
    int drag_pos_ = -1;
};

} // namespace tk
