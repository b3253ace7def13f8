#include "toolkit/form.h"

#include "platform/frame.h"
#include "platform/screen.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "toolkit/picture_box.h"
#include "toolkit/rounding.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace tk {

namespace {
std::vector<Form*> g_loaded;
Form* g_active = nullptr;
std::function<void()> g_on_last_released;
} // namespace

// The window as Qt sees it; everything it learns goes back to the form's model.
class FormWidget : public QWidget {
  public:
    explicit FormWidget(Form& f) : form_(f) {}

  protected:
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        form_.from_window_system();
    }
    void moveEvent(QMoveEvent* e) override {
        QWidget::moveEvent(e);
        form_.from_window_system();
    }
    void changeEvent(QEvent* e) override {
        QWidget::changeEvent(e);
        if (e->type() == QEvent::WindowStateChange)
            form_.from_window_system();
        else if (e->type() == QEvent::ActivationChange && isActiveWindow())
            form_.activated();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        QWidget::mouseReleaseEvent(e);
        // A control that ignores its click passes it up here; only a bare spot is the form's.
        if (is_click(e, this) && !childAt(e->position().toPoint()))
            dispatch([this] { form_.Form_Click(); });
    }
    void closeEvent(QCloseEvent* e) override {
        // The form decides; when it unloads, it hides and releases this widget itself.
        e->ignore();
        form_.close_requested();
    }

  private:
    Form& form_;
};

// Gives a form with key preview each typed character before the control with the focus.
class KeyPreviewFilter : public QObject {
  public:
    bool eventFilter(QObject* obj, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        // The window system's window sees the key first and hands the same event on to a widget.
        auto* w = qobject_cast<QWidget*>(obj);
        if (!w) return false;
        auto* ke = static_cast<QKeyEvent*>(event);
        // A key that a widget ignores travels on to its parent as the same event; preview it
        // at its first stop only. The next key may well reuse the address of this one.
        const bool travelling = ke == last_event_ && ke->timestamp() == last_stamp_ &&
                                last_widget_ && !last_widget_->isWindow() &&
                                w == last_widget_->parentWidget();
        last_event_ = ke;
        last_stamp_ = ke->timestamp();
        last_widget_ = w;
        auto* fw = dynamic_cast<FormWidget*>(w->window());
        if (travelling || !fw || ke->text().size() != 1) return false;
        for (Form* f : g_loaded)
            if (f->window() == fw) {
                int key = ke->text().at(0).unicode();
                return f->key_press(key);
            }
        return false;
    }

  private:
    const QKeyEvent* last_event_ = nullptr;
    quint64 last_stamp_ = 0;
    QPointer<QWidget> last_widget_;
};

static void install_key_preview() {
    static KeyPreviewFilter* filter = nullptr;
    if (!filter && QCoreApplication::instance()) {
        filter = new KeyPreviewFilter;
        QCoreApplication::instance()->installEventFilter(filter);
    }
}

Form::Form(QString name) : name_(std::move(name)), widget_(std::make_unique<FormWidget>(*this)) {
    widget_->setObjectName(name_);
    widget_->setAttribute(Qt::WA_QuitOnClose, false);
    settle_ = new QTimer(widget_.get());
    settle_->setSingleShot(true);
    settle_->setInterval(platform::window_manager_settling_ms());
    QObject::connect(settle_, &QTimer::timeout, widget_.get(),
                     [this] { take_window_system_view(); });
    g_loaded.push_back(this);
    install_key_preview();
}

Form::~Form() {
    std::erase(g_loaded, this);
    if (g_active == this) g_active = nullptr;
}

void Form::design(double client_width, double client_height) {
    // Where the window manager will put the title bar and borders, learnt before the window
    // appears, so that the outer size and the frame height are right from the first load.
    frame_ = platform::expected_frame(widget_.get());
    normal_frame_ = frame_;
    outer_ =
        QRect(outer_.topLeft(), QSize(to_px_x(client_width) + frame_.left() + frame_.right(),
                                      to_px_y(client_height) + frame_.top() + frame_.bottom()));
    normal_outer_ = outer_;
    const QSize client(to_px_x(client_width), to_px_y(client_height));
    if (widget_->minimumSize() == widget_->maximumSize())
        widget_->setFixedSize(client);
    else
        widget_->resize(client);
}

QWidget* Form::client_widget() const {
    return widget_.get();
}
QWidget* Form::window() const {
    return widget_.get();
}

double Form::left() const {
    return to_twips_x(outer_.x());
}
double Form::top() const {
    return to_twips_y(outer_.y());
}
double Form::width() const {
    return to_twips_x(outer_.width());
}
double Form::height() const {
    return to_twips_y(outer_.height());
}
double Form::scaleWidth() const {
    return to_twips_x(outer_.width() - frame_.left() - frame_.right());
}
double Form::scaleHeight() const {
    return to_twips_y(outer_.height() - frame_.top() - frame_.bottom());
}

void Form::setLeft(double t) {
    move(t, top(), width(), height());
}
void Form::setTop(double t) {
    move(left(), t, width(), height());
}
void Form::setWidth(double t) {
    move(left(), top(), t, height());
}
void Form::setHeight(double t) {
    move(left(), top(), width(), t);
}
void Form::move(double l, double t) {
    move(l, t, width(), height());
}

void Form::move(double l, double t, double w, double h) {
    if (w < 0 || h < 0) throw Error(Error::InvalidProperty);
    // The window manager may have minimised or maximised the window whatever its border
    // offers; a place and size are the normal window's, so it is restored first.
    catch_up();
    if (state_ != Normal) setWindowState(Normal);
    set_outer(QRect(to_px_x(l), to_px_y(t), to_px_x(w), to_px_y(h)));
}

void Form::centre_in(const QRectF& area) {
    move(round_half_even(area.left() + (area.width() - width()) / 2),
         round_half_even(area.top() + (area.height() - height()) / 2));
}

void Form::set_outer(QRect r) {
    const bool resized = r.size() != outer_.size();
    if (r == outer_) return;
    outer_ = r;
    if (state_ == Normal) normal_outer_ = r;
    push_geometry();
    if (resized) {
        client_changed();
        raise_resize();
    }
}

void Form::push_geometry() {
    ++pushing_;
    const QSize client(std::max(0, outer_.width() - frame_.left() - frame_.right()),
                       std::max(0, outer_.height() - frame_.top() - frame_.bottom()));
    if (state_ == Normal) {
        if (widget_->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
            widget_->setWindowState(Qt::WindowNoState);
        if (widget_->minimumSize() == widget_->maximumSize() &&
            widget_->minimumSize() != QSize(0, 0))
            widget_->setFixedSize(client);
        // The client area goes inside the frame we expect, so that the frame itself lands on
        // the model's corner whether or not the window manager has decorated the window yet.
        widget_->setGeometry(QRect(outer_.topLeft() + QPoint(frame_.left(), frame_.top()), client));
    } else if (state_ == Maximized) {
        // The client area takes its size at once; resizing after maximising would quietly
        // drop the widget's maximised state while the window system keeps it.
        widget_->resize(client);
        widget_->setWindowState(Qt::WindowMaximized);
    } else {
        widget_->setWindowState(Qt::WindowMinimized);
    }
    --pushing_;
}

void Form::client_changed() {
    for (PictureBox* box : docked_)
        box->follow_container();
}

void Form::raise_resize() {
    if (unloaded_) return;
    // Raised inside the change that caused it, but a failure ends only the handler.
    dispatch([this] { Form_Resize(); });
}

QRect Form::maximized_rect() const {
    // The monitor that holds the window.
    const platform::ScreenMetrics screen = platform::screen_holding(normal_outer_);
    return screen.available.isValid() ? screen.available : screen.geometry;
}

void Form::setWindowState(int state) {
    if (state < Normal || state > Maximized) throw Error(Error::InvalidProperty);
    catch_up();
    if (state == state_) return;
    const bool maximise_changes = state == Maximized || state_ == Maximized;
    state_ = state;
    if (maximise_changes) offer_window_actions();
    if (state == Maximized)
        outer_ = maximized_rect();
    else if (state == Normal) {
        outer_ = normal_outer_;
        frame_ = normal_frame_;
    }
    push_geometry();
    client_changed();
    raise_resize();
}

void Form::from_window_system() {
    if (pushing_ || unloaded_ || !widget_->isVisible()) return;
    // A window manager's change reaches Qt in several events (state, size, frame, each when it
    // comes); the model takes it once they have all come, so that it never sees the new state
    // with the old size, or the old frame with the new state.
    if (settle_->interval() > 0)
        settle_->start();
    else
        take_window_system_view();
}

void Form::catch_up() {
    if (!settle_->isActive()) return;
    settle_->stop();
    take_window_system_view();
}

void Form::take_window_system_view() {
    if (pushing_ || unloaded_ || !widget_->isVisible()) return;
    const Qt::WindowStates qs = widget_->windowState();
    const int state = (qs & Qt::WindowMinimized)   ? Minimized
                      : (qs & Qt::WindowMaximized) ? Maximized
                                                   : Normal;
    const QRect fg = widget_->frameGeometry();
    const QRect cg = widget_->geometry();
    QMargins frame(cg.left() - fg.left(), cg.top() - fg.top(), fg.right() - cg.right(),
                   fg.bottom() - cg.bottom());
    if (platform::WindowNow now; platform::window_now(widget_.get(), now)) {
        // Until Qt agrees with the window system, an event that completes its view is on its
        // way (or the window manager is still at work): look again a little later.
        const double dpr = widget_->devicePixelRatioF();
        const auto logical = [dpr](int device) { return int(round_half_even(device / dpr)); };
        const auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
        const int now_state = now.state == platform::WindowNow::Minimised   ? Minimized
                              : now.state == platform::WindowNow::Maximised ? Maximized
                                                                            : Normal;
        const bool agree =
            now_state == state &&
            (state == Minimized || (near(logical(now.client.width()), cg.width()) &&
                                    near(logical(now.client.height()), cg.height())));
        constexpr int kLooks = 20;
        if (!agree && ++looks_ < kLooks) {
            settle_->start();
            return;
        }
        frame = QMargins(logical(now.frame.left()), logical(now.frame.top()),
                         logical(now.frame.right()), logical(now.frame.bottom()));
    }
    looks_ = 0;
    // Outside the normal state the model keeps the normal window's frame, so that the frame
    // height measured then is the one the normal window will have: a window manager draws a
    // maximised window with less border or none (on Windows its borders lie off the screen).
    // Back from maximised, Qt may still report the maximised window's frame for a moment.
    if (state != Normal || state_ != Normal) frame = normal_frame_;
    QRect outer = state == Minimized ? outer_ : cg.marginsAdded(frame);
    const bool reframed = frame != frame_ && state == Normal && state_ == Normal;
    if (reframed) {
        // The window manager decorated the window (or changed its frame): the window stays
        // where the program put it, with the client area inside the new frame.
        outer.moveTopLeft(outer_.topLeft());
    }
    const bool changed = state != state_ || outer.size() != outer_.size() || frame != frame_;
    if (!changed && outer == outer_) return;
    const bool maximise_changes = (state == Maximized) != (state_ == Maximized);
    state_ = state;
    if (maximise_changes) offer_window_actions();
    frame_ = frame;
    outer_ = outer;
    if (state_ == Normal) {
        normal_outer_ = outer_;
        normal_frame_ = frame_;
    }
    if (reframed) push_geometry();
    if (changed) {
        client_changed();
        raise_resize();
    }
}

void Form::setCaption(const QString& text) {
    caption_ = text;
    widget_->setWindowTitle(text);
}

void Form::setBackColor(const QColor& c) {
    back_color_ = c;
    QPalette p = widget_->palette();
    p.setColor(QPalette::Window, c);
    widget_->setPalette(p);
    widget_->setAutoFillBackground(true);
}

void Form::setBorderStyle(BorderStyle style) {
    Qt::WindowFlags flags =
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    switch (style) {
    case Sizable:
        flags |= Qt::WindowMinimizeButtonHint;
        break;
    case FixedSingle:
        flags |= Qt::WindowMinimizeButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        break;
    case FixedDialog:
        // Customised, so that the window manager is told: no minimise or maximise button.
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        break;
    case FixedToolWindow:
        flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    }
    widget_->setWindowFlags(flags);
    if (style != Sizable) widget_->setFixedSize(widget_->size().expandedTo(QSize(1, 1)));
    border_ = style;
    offer_window_actions();
}

void Form::offer_window_actions() {
    platform::offer_window_actions(widget_.get(),
                                   {.resize = border_ == Sizable,
                                    .minimise = border_ == Sizable || border_ == FixedSingle,
                                    .maximised = state_ == Maximized});
}

void Form::setIcon(const QIcon& icon) {
    widget_->setWindowIcon(icon);
}

Control* Form::control(const QString& name) const {
    const auto it = std::find_if(controls_.begin(), controls_.end(),
                                 [&](const Control* c) { return c->name() == name; });
    return it == controls_.end() ? nullptr : *it;
}

void Form::set_tab_order(std::vector<std::pair<Control*, int>> order) {
    auto& sorted = order;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second < b.second; });
    QWidget* previous = nullptr;
    for (auto [control, index] : sorted) {
        control->setTabIndex(index);
        QWidget* w = control->widget();
        if (!w) continue;
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void Form::register_docked(PictureBox* box) {
    if (std::find(docked_.begin(), docked_.end(), box) == docked_.end()) docked_.push_back(box);
}

void Form::Show() {
    if (unloaded_) return;
    visible_ = true;
    // A window minimised by the window manager comes back when it is shown.
    catch_up();
    if (state_ == Minimized) setWindowState(Normal);
    if (shown_once_) {
        widget_->show();
        widget_->raise();
        widget_->activateWindow();
        return;
    }
    shown_once_ = true;
    push_geometry();
    widget_->show();
    // Not every window manager focuses a new tool window by itself.
    widget_->activateWindow();
    // A window that appears has been resized into existence and becomes the active one.
    raise_resize();
    activated();
}

void Form::Hide() {
    catch_up(); // hidden, the window reports nothing more
    visible_ = false;
    widget_->hide();
}

void Form::activated() {
    if (unloaded_ || g_active == this) return;
    g_active = this;
    dispatch([this] { Form_Activate(); });
}

bool Form::key_press(int& key_ascii) {
    if (!key_preview_ || unloaded_) return false;
    dispatch([&] { Form_KeyPress(key_ascii); });
    return key_ascii == 0;
}

bool Form::close_requested() {
    bool done = false;
    dispatch([&] { done = run_unload(0); });
    return done;
}

bool Form::run_unload(int mode) {
    if (unloaded_) return true;
    int cancel = 0;
    Form_QueryUnload(cancel, mode);
    if (cancel) return false;
    Form_Unload(cancel);
    if (cancel) return false;
    unloaded_ = true;
    visible_ = false;
    widget_->hide();
    std::erase(g_loaded, this);
    if (g_active == this) g_active = nullptr;
    if (slot_) slot_->release();
    // Released only once no handler is on the stack and Qt has left this window's events.
    when_idle([this] {
        QMetaObject::invokeMethod(
            qApp, [this] { delete this; }, Qt::QueuedConnection);
    });
    if (g_loaded.empty() && g_on_last_released)
        when_idle([] {
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    if (g_loaded.empty() && g_on_last_released) g_on_last_released();
                },
                Qt::QueuedConnection);
        });
    return true;
}

void Unload(Form& form) {
    form.run_unload(1);
}

void end_session() {
    // A copy: unloading one form may unload others and changes the list.
    const std::vector<Form*> loaded = g_loaded;
    for (Form* f : loaded)
        dispatch([f] {
            if (!f->unloaded_) f->run_unload(2);
        });
}

void set_on_last_form_released(std::function<void()> fn) {
    g_on_last_released = std::move(fn);
}

void FormSlotBase::adopt(Form* f) {
    form_ = f;
    f->slot_ = this;
}

void FormSlotBase::release() {
    if (form_) form_->slot_ = nullptr;
    form_ = nullptr;
}

// ---- MenuItem

MenuItem::MenuItem(QMenu& menu, QString name, const QString& caption) : name_(std::move(name)) {
    if (caption == QLatin1String("-")) {
        action_ = menu.addSeparator();
        action_->setObjectName(name_);
        return;
    }
    action_ = menu.addAction(caption);
    action_->setObjectName(name_);
    QObject::connect(action_, &QAction::triggered, action_, [this] {
        if (onClick) dispatch(onClick);
    });
}

QString MenuItem::caption() const {
    return action_->text();
}
bool MenuItem::checked() const {
    return action_->isChecked();
}

void MenuItem::setChecked(bool on) {
    action_->setCheckable(true);
    action_->setChecked(on);
}

} // namespace tk
