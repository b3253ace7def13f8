#pragma once

class QWidget;

namespace tk {

class Form;

// Something that holds controls: a form's client area or a frame.
class Container {
  public:
    virtual ~Container() = default;
    virtual QWidget* client_widget() const = 0;
    virtual Form& form() = 0;
};

} // namespace tk
