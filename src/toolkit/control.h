#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

class QMouseEvent;

namespace tk {

class Form;

// Mouse buttons as handlers receive them.
enum MouseButton { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// Whether a released button ends a click on `w`: any button, released over the widget.
bool is_click(const QMouseEvent* release, const QWidget* w);

// Something that holds controls: a form's client area or a frame.
class Container {
  public:
    virtual ~Container() = default;
    virtual QWidget* client_widget() const = 0;
    virtual Form& form() = 0;
};

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

class CommandButton : public Control {
  public:
    CommandButton(Container& parent, QString name, const QString& caption = {});
    QString caption() const;
    void setCaption(const QString& text);
    std::function<void()> onClick;
    // Runs the click as the button would (used by tests and keyboard activation).
    void click();
};

class CheckBox : public Control {
  public:
    CheckBox(Container& parent, QString name, const QString& caption = {});
    int value() const { return value_; }
    void setValue(int v);
    std::function<void()> onClick;

  private:
    int value_ = 0;
};

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
