#include "toolkit/control.h"

#include "platform/file_names.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "toolkit/form.h"
#include "toolkit/units.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QMouseEvent>
#include <QToolTip>

namespace tk {

// Turns Qt's mouse events on a control's widget into the control's handlers.
class ControlEventFilter : public QObject {
  public:
    ControlEventFilter(Control& c, QObject* parent) : QObject(parent), control_(c) {}
    bool eventFilter(QObject* obj, QEvent* event) override {
        return control_.mouse_event_filter(obj, event);
    }

  private:
    Control& control_;
};

static int button_code(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return LeftButton;
    case Qt::RightButton:
        return RightButton;
    case Qt::MiddleButton:
        return MiddleButton;
    default:
        return 0;
    }
}

static int buttons_code(Qt::MouseButtons bs) {
    int code = 0;
    if (bs & Qt::LeftButton) code |= LeftButton;
    if (bs & Qt::RightButton) code |= RightButton;
    if (bs & Qt::MiddleButton) code |= MiddleButton;
    return code;
}

bool is_click(const QMouseEvent* release, const QWidget* w) {
    return release->button() != Qt::NoButton && w->rect().contains(release->position().toPoint());
}

static int shift_code(Qt::KeyboardModifiers m) {
    return ((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) |
           ((m & Qt::AltModifier) ? 4 : 0);
}

Control::Control(Container& parent, QString name) : parent_(parent), name_(std::move(name)) {
    parent_.form().controls_.push_back(this);
}

Control::~Control() {
    delete filter_; // a deleted filter is taken off every object it watched
}

void Control::attach(QWidget* w) {
    widget_ = w;
    w->setParent(parent_.client_widget());
    w->setObjectName(name_);
    auto* filter = new ControlEventFilter(*this, w);
    filter_ = filter;
    w->installEventFilter(filter);
    // Lists deliver the mouse to their viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        area->viewport()->installEventFilter(filter);
        area->viewport()->setMouseTracking(true);
    }
    w->setMouseTracking(true);
    apply_geometry();
    w->setVisible(visible_);
    w->setEnabled(enabled_);
}

bool Control::mouse_event_filter(QObject* obj, QEvent* event) {
    auto* area = qobject_cast<QAbstractScrollArea*>(widget_.data());
    if (obj != widget_ && !(area && obj == area->viewport())) return false;
    auto type = event->type();
    // The window system reports the second press of a quick double click only as a double
    // click; for the handlers it is a press like any other.
    if (type == QEvent::MouseButtonDblClick) type = QEvent::MouseButtonPress;
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseMove)
        return false;
    auto* me = static_cast<QMouseEvent*>(event);
    const double x = me->position().x() * scale_per_pixel_x();
    const double y = me->position().y() * scale_per_pixel_y();
    const int shift = shift_code(me->modifiers());
    if (type == QEvent::MouseButtonPress && onMouseDown)
        dispatch([&] { onMouseDown(button_code(me->button()), shift, x, y); });
    else if (type == QEvent::MouseButtonRelease && onMouseUp)
        dispatch([&] { onMouseUp(button_code(me->button()), shift, x, y); });
    else if (type == QEvent::MouseMove && onMouseMove)
        dispatch([&] { onMouseMove(buttons_code(me->buttons()), shift, x, y); });
    return false;
}

double Control::scale_per_pixel_x() const {
    return twips_per_pixel_x();
}
double Control::scale_per_pixel_y() const {
    return twips_per_pixel_y();
}

double Control::left() const {
    return to_twips_x(rect_.x());
}
double Control::top() const {
    return to_twips_y(rect_.y());
}
double Control::width() const {
    return to_twips_x(rect_.width());
}
double Control::height() const {
    return to_twips_y(rect_.height());
}

void Control::setLeft(double t) {
    move(t, top(), width(), height());
}
void Control::setTop(double t) {
    move(left(), t, width(), height());
}
void Control::setWidth(double t) {
    move(left(), top(), t, height());
}
void Control::setHeight(double t) {
    move(left(), top(), width(), t);
}

void Control::move(double l, double t, double w, double h) {
    if (w < 0 || h < 0) throw Error(Error::InvalidProperty);
    rect_ = QRect(to_px_x(l), to_px_y(t), to_px_x(w), to_px_y(h));
    apply_geometry();
}

void Control::apply_geometry() {
    if (widget_) widget_->setGeometry(rect_);
}

void Control::setVisible(bool on) {
    visible_ = on;
    if (widget_) widget_->setVisible(on);
}

void Control::setEnabled(bool on) {
    enabled_ = on;
    if (widget_) widget_->setEnabled(on);
}

void Control::ZOrder(int position) {
    if (!widget_) return;
    if (position == 0)
        widget_->raise();
    else
        widget_->lower();
}

void Control::setToolTipText(const QString& text) {
    tooltip_ = text;
    apply_accessible();
    if (!widget_) return;
    const QString before = widget_->toolTip();
    const QString now = platform::readable_name(text);
    widget_->setToolTip(now);
    // A balloon already up over this control would go on saying what no longer holds there:
    // it goes, or says the new tip at once.
    if (now == before || !QToolTip::isVisible() || QToolTip::text() != before ||
        !widget_->underMouse())
        return;
    if (now.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(QCursor::pos(), now, widget_);
}

void Control::describe(const QString& role, const QString& description) {
    role_ = role;
    description_ = description;
    apply_accessible();
}

void Control::setAccessibleDetail(const QString& detail) {
    const QString readable = platform::readable_name(detail);
    if (readable == detail_) return;
    detail_ = readable;
    apply_accessible();
}

void Control::apply_accessible() {
    if (!widget_) return;
    // Without a role the toolkit's own name stands: the caption.
    if (!role_.isEmpty())
        widget_->setAccessibleName(detail_.isEmpty() ? role_ : role_ + QLatin1Char(' ') + detail_);
    widget_->setAccessibleDescription(tooltip_.isEmpty() ? description_
                                                         : platform::readable_name(tooltip_));
}

} // namespace tk
