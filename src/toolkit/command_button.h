#pragma once
#include "toolkit/control.h"

#include <QString>
#include <functional>

namespace tk {

class CommandButton : public Control {
  public:
    CommandButton(Container& parent, QString name, const QString& caption = {});
    QString caption() const;
    void setCaption(const QString& text);
    std::function<void()> onClick;
    // Runs the click as the button would (used by tests and keyboard activation).
    void click();
};

} // namespace tk
