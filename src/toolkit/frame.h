#pragma once
#include "toolkit/control.h"

#include <QString>

namespace tk {

// A captioned or plain group box that holds controls; child positions are relative to its
// outer top-left corner.
class Frame : public Control, public Container {
  public:
    Frame(Container& parent, QString name, const QString& caption = {});
    QWidget* client_widget() const override { return widget(); }
    Form& form() override { return container().form(); }
    QString caption() const;
    void setCaption(const QString& text);
};

} // namespace tk
