// Windows: synchronous resize events, window state, and the lifetime behind a window reference.
#include "support/toolkit_env.h"
#include "toolkit/events.h"
#include "toolkit/form.h"
#include "toolkit/frame.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"

#include <QTest>
#include <QWindow>
#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using test_env::Place;
using test_env::place;

class SizeForm : public tk::Form {
  public:
    SizeForm() : tk::Form(QStringLiteral("size_form")) { design(6000, 4500); }
    // Size and state as the handler sees them.
    std::vector<std::array<double, 3>> resizes;
    int throws = 0; // the next handlers fail, each in its own way
    void Form_Resize() override {
        resizes.push_back({width(), height(), double(windowState())});
        switch (throws--) {
        case 3:
            throw tk::Error(tk::Error::InvalidProperty);
        case 2:
            throw std::runtime_error("not the toolkit's");
        case 1:
            throw 42;
        }
    }
};

TEST(Form, ProgramMovesRaiseOneResizePerSizeChange) {
    using Seen = std::vector<std::array<double, 3>>;
    SizeForm f;
    f.move(1200, 900, 7500, 3000);
    EXPECT_EQ(f.resizes, (Seen{{7500, 3000, tk::Normal}})); // the new size, inside the handler
    f.move(3000, 1500);                                     // position only
    f.move(3000, 1500, 7500, 3000);
    EXPECT_EQ(place(f), (Place{3000, 1500, 7500, 3000}));
    f.setWidth(4500);
    f.setHeight(6000);
    EXPECT_EQ(f.resizes, (Seen{{7500, 3000, 0}, {4500, 3000, 0}, {4500, 6000, 0}}));
    // A failing handler ends itself, not the code that resized the window.
    f.throws = 3;
    EXPECT_NO_THROW(f.setWidth(3000));
    EXPECT_NO_THROW(f.setHeight(3000));
    EXPECT_NO_THROW(f.setWindowState(tk::Maximized));
    EXPECT_EQ(f.resizes.size(), 6u);
    EXPECT_EQ(f.windowState(), tk::Maximized);
}

TEST(Form, MaximiseAndRestore) {
    const Place normal{1200, 900, 7500, 3000};
    SizeForm f;
    f.move(1200, 900, 7500, 3000);
    f.resizes.clear();
    f.setWindowState(tk::Maximized);
    f.setWindowState(tk::Maximized);
    // The screen's available area, 1280 x 1024 pixels.
    EXPECT_EQ(f.resizes, (std::vector<std::array<double, 3>>{{19200, 15360, tk::Maximized}}));
    f.setWindowState(tk::Normal);
    EXPECT_EQ(f.resizes.size(), 2u);
    EXPECT_EQ(place(f), normal);
    // Moving, sizing or showing a window the window manager minimised or maximised restores
    // it first, wherever the window manager had put it.
    // The row, the state the window manager left, what the program does; where it ends.
    const std::tuple<const char*, int, std::function<void()>, Place> rows[] = {
        {"moved", tk::Maximized, [&f] { f.move(0, 0, 3000, 3000); }, {0, 0, 3000, 3000}},
        {"left set", tk::Minimized, [&f] { f.setLeft(600); }, {600, 0, 3000, 3000}},
        {"shown", tk::Minimized, [&f] { f.Show(); }, {600, 0, 3000, 3000}},
    };
    for (const auto& [name, state, act, want] : rows) {
        f.setWindowState(state);
        act();
        EXPECT_EQ(f.windowState(), tk::Normal) << name;
        EXPECT_EQ(place(f), want) << name;
    }
    f.move(1200, 900, 7500, 3000);
    // Shown, the window keeps the state last set once the window system has answered, also
    // when it answers late (each state on its own: Modes.TransitionsAndWhatEachRecords).
    f.Show();
    test_env::settle();
    f.setWindowState(tk::Maximized);
    f.setWindowState(tk::Normal);
    test_env::settle();
    EXPECT_EQ(f.windowState(), tk::Normal);
    EXPECT_EQ(place(f), normal);
}

class KeyForm : public tk::Form {
  public:
    KeyForm() : tk::Form(QStringLiteral("key_form")) {
        design(3000, 3000);
        setKeyPreview(true);
        list.onKeyPress = [this](int& key) { list_keys.push_back(key); };
    }
    void Form_KeyPress(int& key_ascii) override {
        form_keys.push_back(key_ascii);
        if (key_ascii == 'x') key_ascii = 0; // swallowed: the control does not see it
    }
    tk::Frame frame{*this, "frame"};
    tk::Label label{frame, "label", QStringLiteral("text")};
    tk::ListBox list{frame, "list"};
    std::vector<int> form_keys, list_keys;
};

TEST(Form, KeyPreviewSeesEachTypedKeyOnce) {
    KeyForm f;
    f.Show();
    // A label ignores keys, which then travel up through the frame to the window.
    QTest::keyClick(f.label.widget(), Qt::Key_A);
    QTest::keyClick(f.label.widget(), Qt::Key_B);
    // As the window system delivers them: to the window, then on to the focused control.
    f.list.widget()->setFocus();
    QTest::keyClick(f.window()->windowHandle(), Qt::Key_C);
    QTest::keyClick(f.window()->windowHandle(), Qt::Key_X);
    QTest::keyClick(f.list.widget(), Qt::Key_D);
    EXPECT_EQ(f.form_keys, (std::vector<int>{'a', 'b', 'c', 'x', 'd'}));
    EXPECT_EQ(f.list_keys, (std::vector<int>{'c', 'd'}));
}

// A path too long for its one-line label shows its end, the file's name.
TEST(Form, PathLabelShowsTheEndOfALongPath) {
    tk::Form f{QStringLiteral("label_form")};
    f.design(6000, 3000);
    tk::Label label{f, "label"};
    label.move(0, 0, 2775, 255);
    label.setElideStart(true);
    const QString deep = QStringLiteral("/a/folder/deep/below/the/root/with/many/levels/in/it/");
    const auto shown = [&](const QString& path) {
        label.setCaption(path);
        return label.widget()->grab().toImage();
    };
    EXPECT_NE(shown(deep + "one.jpg"), shown(deep + "two.jpg"));
    EXPECT_EQ(shown("/x" + deep + "one.jpg"), shown("/y" + deep + "one.jpg"));
}

// Records its lifecycle; the log outlives the object.
std::vector<std::string> g_log;
int g_alive = 0;

class LifeForm : public tk::Form {
  public:
    LifeForm() : tk::Form(QStringLiteral("life_form")) {
        design(3000, 3000);
        ++g_alive;
        serial = ++made;
    }
    ~LifeForm() override { --g_alive; }
    void Form_Load() override {
        g_log.push_back("load");
        if (unload_in_load) close_self();
    }
    void Form_QueryUnload(int&, int) override { g_log.push_back("query_unload"); }
    void Form_Unload(int&) override { g_log.push_back("unload"); }
    // Unloads itself, lets events run, and still uses its members afterwards.
    void close_self() {
        tk::Unload(*this);
        tk::DoEvents();
        g_log.push_back("after unload " + std::to_string(serial));
    }
    tk::Timer Timer1{10, this};
    int serial = 0;
    static inline int made = 0;
    static inline bool unload_in_load = false;
};

tk::FormRef<LifeForm> life_ref;

class FormRefTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test_env::unload_if_loaded(life_ref);
        test_env::settle();
        g_log.clear();
    }
    void TearDown() override { LifeForm::unload_in_load = false; }
};

TEST_F(FormRefTest, FirstTouchLoadsOnceAndUnloadReleasesLater) {
    const int first = life_ref->serial;
    (void)life_ref->serial;
    tk::Unload(*life_ref);
    EXPECT_EQ(g_log, (std::vector<std::string>{"load", "query_unload", "unload"}));
    EXPECT_FALSE(life_ref.loaded());
    EXPECT_EQ(g_alive, 1); // released only once events run
    test_env::settle();
    EXPECT_EQ(g_alive, 0);
    // Unloading a window that is not loaded loads it first, as every touch does.
    life_ref.unload();
    EXPECT_EQ(g_log, (std::vector<std::string>{"load", "query_unload", "unload", "load",
                                               "query_unload", "unload"}));
    EXPECT_FALSE(life_ref.loaded());
    test_env::settle();
    EXPECT_EQ(g_alive, 0);
    EXPECT_NE(life_ref->serial, first);
}

TEST_F(FormRefTest, UnloadFromInsideItsOwnHandlers) {
    tk::ScopedManualClock clock;
    LifeForm& f = *life_ref;
    f.Timer1.onTick = [&f] { f.close_self(); };
    f.Timer1.setEnabled(true);
    clock.advance(10); // a tick, dispatched as the event loop would
    EXPECT_EQ(g_log.back(), "after unload " + std::to_string(f.serial));
    test_env::settle();
    EXPECT_EQ(g_alive, 0);
    // A window that unloads itself while loading still answers the touch that loaded it.
    LifeForm::unload_in_load = true;
    const int serial = life_ref->serial;
    EXPECT_EQ(g_log.back(), "after unload " + std::to_string(serial));
    EXPECT_FALSE(life_ref.loaded());
    test_env::settle();
    EXPECT_EQ(g_alive, 0);
}

} // namespace
