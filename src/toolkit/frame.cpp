#include "toolkit/frame.h"

#include <QGroupBox>

namespace tk {

Frame::Frame(Container& parent, QString name, const QString& caption)
    : Control(parent, std::move(name)) {
    attach(new QGroupBox(caption));
}

QString Frame::caption() const {
    return static_cast<QGroupBox*>(widget())->title();
}
void Frame::setCaption(const QString& text) {
    static_cast<QGroupBox*>(widget())->setTitle(text);
}

} // namespace tk
