#pragma once
#include "toolkit/container.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

class QMouseEvent;

namespace tk {

// Mouse buttons as handlers receive them.
enum MouseButton { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// Whether a released button ends a click on `w`: any button, released over the widget.
bool is_click(const QMouseEvent* release, const QWidget* w);

// A control placed in a container. Its geometry is kept here in pixels (so what Qt echoes
// back compares equal) and read and written in twips relative to the container.
class Control {
  public:
    Control(Container& parent, QString name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& name() const { return name_; }
    Container& container() const { return parent_; }
    QWidget* widget() const { return widget_; }

    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void move(double left, double top, double width, double height);
    QRect pixelRect() const { return rect_; }

    bool visible() const { return visible_; }
    void setVisible(bool on);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    const QString& toolTipText() const { return tooltip_; }
    void setToolTipText(const QString& text);
    // What a screen reader says of the control: `role` names a control that no caption of its
    // own names, followed by what it shows (the detail below); the description is its tip, or
    // `description` while it has none (balloon help off).
    void describe(const QString& role, const QString& description);
    // What the control shows now, said after its role: a label's caption, the picture shown.
    void setAccessibleDetail(const QString& detail);
    // 0 brings the control in front of its siblings, 1 sends it behind them.
    void ZOrder(int position = 0);
    int tabIndex() const { return tab_index_; }
    void setTabIndex(int index) { tab_index_ = index; }

    // Mouse handlers: button, shift state, position in the control's own scale.
    std::function<void(int button, int shift, double x, double y)> onMouseDown;
    std::function<void(int button, int shift, double x, double y)> onMouseUp;
    std::function<void(int button, int shift, double x, double y)> onMouseMove;

  protected:
    // Takes ownership of the widget that shows this control and applies the model to it.
    void attach(QWidget* w);
    virtual void apply_geometry();
    virtual double scale_per_pixel_x() const;
    virtual double scale_per_pixel_y() const;
    bool mouse_event_filter(QObject* obj, QEvent* event);

  private:
    friend class ControlEventFilter;
    void apply_accessible();
    Container& parent_;
    QString name_;
    QPointer<QWidget> widget_;
    // Outlives the control with the widget otherwise, and would call it while the widget dies.
    QPointer<QObject> filter_;
    QRect rect_;
    bool visible_ = true;
    bool enabled_ = true;
    QString tooltip_;
    QString role_, description_, detail_;
    int tab_index_ = 0;
};

} // namespace tk
