#include "toolkit/scroll_bar.h"

#include "toolkit/error.h"
#include "toolkit/events.h"

#include <QScrollBar>

namespace tk {

HScrollBar::HScrollBar(Container& parent, QString name) : Control(parent, std::move(name)) {
    auto* s = new QScrollBar(Qt::Horizontal);
    s->setTracking(false); // the value commits when a drag ends
    s->setRange(min_, max_);
    attach(s);
    QObject::connect(s, &QScrollBar::valueChanged, s, [this](int v) {
        drag_pos_ = -1;
        dispatch([&] { commit(v); });
    });
    QObject::connect(s, &QScrollBar::sliderMoved, s, [this](int pos) {
        drag_pos_ = pos;
        if (onScroll) dispatch(onScroll);
    });
    QObject::connect(s, &QScrollBar::sliderReleased, s, [this] { drag_pos_ = -1; });
}

void HScrollBar::setRange(int min, int max) {
    min_ = min;
    max_ = max;
    QSignalBlocker block(widget());
    static_cast<QScrollBar*>(widget())->setRange(min, max);
}

void HScrollBar::setSteps(int small_change, int large_change) {
    auto* s = static_cast<QScrollBar*>(widget());
    s->setSingleStep(small_change);
    s->setPageStep(large_change);
}

int HScrollBar::value() const {
    return drag_pos_ >= 0 ? drag_pos_ : value_;
}

void HScrollBar::setValue(int v) {
    if (v < min_ || v > max_) throw Error(Error::InvalidProperty);
    {
        QSignalBlocker block(widget());
        static_cast<QScrollBar*>(widget())->setValue(v);
    }
    commit(v);
}

void HScrollBar::commit(int v) {
    if (v == value_) return;
    value_ = v;
    if (onChange) onChange();
}

} // namespace tk
