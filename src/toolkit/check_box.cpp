#include "toolkit/check_box.h"

#include "toolkit/error.h"
#include "toolkit/events.h"

#include <QCheckBox>

namespace tk {

CheckBox::CheckBox(Container& parent, QString name, const QString& caption)
    : Control(parent, std::move(name)) {
    auto* b = new QCheckBox(caption);
    attach(b);
    QObject::connect(b, &QCheckBox::toggled, b, [this](bool on) {
        const int v = on ? 1 : 0;
        if (v == value_) return;
        value_ = v;
        if (onClick) dispatch(onClick);
    });
}

void CheckBox::setValue(int v) {
    if (v < 0 || v > 2) throw Error(Error::InvalidProperty);
    if (v == value_) return;
    value_ = v;
    {
        QSignalBlocker block(widget());
        static_cast<QCheckBox*>(widget())->setChecked(v == 1);
    }
    if (onClick) onClick();
}

} // namespace tk
