#include "toolkit/command_button.h"

#include "toolkit/events.h"

#include <QPushButton>

namespace tk {

CommandButton::CommandButton(Container& parent, QString name, const QString& caption)
    : Control(parent, std::move(name)) {
    auto* b = new QPushButton(caption);
    b->setAutoDefault(false);
    attach(b);
    QObject::connect(b, &QPushButton::clicked, b, [this] {
        if (onClick) dispatch(onClick);
    });
}

QString CommandButton::caption() const {
    return static_cast<QPushButton*>(widget())->text();
}
void CommandButton::setCaption(const QString& text) {
    static_cast<QPushButton*>(widget())->setText(text);
}

void CommandButton::click() {
    if (onClick) dispatch(onClick);
}

} // namespace tk
