#pragma once
#include "toolkit/control.h"
#include "toolkit/events.h"

#include <QMargins>
#include <QMenu>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace tk {

class PictureBox;
class FormWidget;

enum WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum BorderStyle { Sizable, FixedSingle, FixedDialog, FixedToolWindow };

// A top-level window. Its outer rectangle (title bar and borders included) and its state are
// kept here and changed synchronously: a change of size or state made by the program raises
// Form_Resize before the call returns, once per change. What the window manager reports later
// updates the model and raises the same event only when the model really changes.
class Form : public Container {
  public:
    explicit Form(QString name);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    QWidget* client_widget() const override;
    Form& form() override { return *this; }
    QWidget* window() const;
    const QString& name() const { return name_; }

    // Places the window at design time: client size in twips, no events.
    void design(double client_width, double client_height);

    // Outer geometry in twips.
    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void move(double left, double top);
    void move(double left, double top, double width, double height);
    // Moves the window, keeping its size, so that its middle is the middle of `area` (twips).
    void centre_in(const QRectF& area);
    // The client area in twips.
    double scaleWidth() const;
    double scaleHeight() const;
    // What the window manager puts around the client area (title bar, borders), in pixels.
    QMargins frame_px() const { return frame_; }

    int windowState() const { return state_; }
    void setWindowState(int state);

    QString caption() const { return caption_; }
    void setCaption(const QString& text);
    void setBackColor(const QColor& c);
    QColor backColor() const { return back_color_; }
    void setBorderStyle(BorderStyle style);
    void setKeyPreview(bool on) { key_preview_ = on; }
    void setIcon(const QIcon& icon);

    bool visible() const { return visible_; }
    // Shows the window modeless; the first show raises Form_Resize and then Form_Activate.
    void Show();
    void Hide();

    bool unloaded() const { return unloaded_; }

    // Handlers; forms override those they use.
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Activate() {}
    // A click (with any button) on the window itself, where no control is.
    virtual void Form_Click() {}
    virtual void Form_KeyPress(int& /*key_ascii*/) {}
    virtual void Form_QueryUnload(int& /*cancel*/, int /*unload_mode*/) {}
    virtual void Form_Unload(int& /*cancel*/) {}

    // The focus order: each control with its tab index.
    void set_tab_order(std::vector<std::pair<Control*, int>> order);

    // The control of this window with the given name; null when there is none.
    Control* control(const QString& name) const;
    const std::vector<Control*>& controls() const { return controls_; }

    // Controls docked to an edge follow the client area.
    void register_docked(PictureBox* box);

  private:
    friend class Control;
    friend class FormWidget;
    friend class FormSlotBase;
    friend class KeyPreviewFilter;
    friend void Unload(Form& form);
    friend void end_session();
    void set_outer(QRect r);
    void push_geometry();
    void raise_resize();
    void client_changed();
    void from_window_system();
    void take_window_system_view();
    // Takes at once what the window manager reported and the model has not taken yet.
    void catch_up();
    void activated();
    bool key_press(int& key_ascii);
    bool close_requested();
    bool run_unload(int mode);
    QRect maximized_rect() const;
    // Tells the window manager what the border style and the state allow.
    void offer_window_actions();

    QString name_;
    std::unique_ptr<FormWidget> widget_;
    QRect outer_;           // pixels, frame included
    QRect normal_outer_;    // the rectangle to return to from maximised or minimised
    QMargins frame_;        // what the window manager adds around the client area
    QMargins normal_frame_; // the same for the normal state, kept while maximised
    int state_ = Normal;
    BorderStyle border_ = Sizable;
    QString caption_;
    QColor back_color_;
    bool key_preview_ = false;
    bool visible_ = false;
    bool shown_once_ = false;
    bool unloaded_ = false;
    int pushing_ = 0;
    QTimer* settle_ = nullptr; // what the window manager reports is taken once it settles
    int looks_ = 0;            // at a report that has not settled yet
    std::vector<PictureBox*> docked_;
    std::vector<Control*> controls_;
    class FormSlotBase* slot_ = nullptr;
};

// Unloads a form: Form_QueryUnload, Form_Unload, then the form is released once no handler
// is on the stack. Touching its reference afterwards creates a fresh one.
void Unload(Form& form);

// The session ends (logout, shutdown) or the system asks the program to end: every loaded
// form is unloaded, oldest first, as through its close box but with unload mode 2.
void end_session();

// Runs when the last loaded form has been released (the program's end).
void set_on_last_form_released(std::function<void()> fn);

class FormSlotBase {
  public:
    virtual ~FormSlotBase() = default;
    bool loaded() const { return form_ != nullptr; }

  protected:
    friend class Form;
    void adopt(Form* f);
    void release();
    Form* form_ = nullptr;
};

// The one program-wide reference to a window: touching it creates and loads the window.
template <class F> class FormRef : public FormSlotBase {
  public:
    F& operator*() { return get(); }
    F* operator->() { return &get(); }
    F& get() {
        if (!form_) {
            auto* f = new F;
            adopt(f);
            // As an event, so that the window is not released while it is still loading.
            dispatch([f] { f->Form_Load(); });
            // A window that unloaded itself while loading is still alive until events run.
            return *f;
        }
        return static_cast<F&>(*form_);
    }
    // Unloads the window; like every touch, this loads it first when it is not loaded.
    void unload() { Unload(get()); }
};

// A menu item with a caption, an optional check mark and a click handler.
class MenuItem {
  public:
    MenuItem(QMenu& menu, QString name, const QString& caption);
    const QString& name() const { return name_; }
    QString caption() const;
    bool checked() const;
    void setChecked(bool on);
    QAction* action() const { return action_; }
    std::function<void()> onClick;

  private:
    QString name_;
    QAction* action_;
};

} // namespace tk
