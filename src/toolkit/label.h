#pragma once
#include "toolkit/control.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>

namespace tk {

// A caption, or a coloured area; a click on it raises onClick.
class Label : public Control {
  public:
    Label(Container& parent, QString name, const QString& caption = {});
    const QString& caption() const { return caption_; }
    void setCaption(const QString& text);
    void setBackColor(const QColor& c);
    void setForeColor(const QColor& c);
    void setTransparent(bool on);
    void setFont(const QFont& f);
    // One line that, when too long, loses its start rather than its end: a path keeps its file
    // name in sight.
    void setElideStart(bool on);
    std::function<void()> onClick;

  private:
    QString caption_;
};

} // namespace tk
