// Display modes, the resize handling that keeps them, and the popup menu on the picture.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "support/test_env.h"

#include <QTest>
#include <QWindow>
#include <functional>

using namespace Module2;
using test_env::Place;
using test_env::place;

namespace {

// The offscreen screen: 1280 x 1024 pixels, no frame around windows (frame height 0).
constexpr double kScreenW = 19200, kScreenH = 15360;

class Modes : public test_env::Program {
  protected:
    MainForm* f = &main_fm.get();
    MenuForm* menu = &menu_fm.get();

    // A shown window with a picture on show, in mode 0 at (1500, 1200).
    void SetUp() override {
        f->Show();
        f->List1.addItem(QStringLiteral("/p/a.bmp"));
        play_no = 0;
        f->pic_moto.setPicture(test_env::filled(400, 300, Qt::darkCyan));
        f->pic_ok = 1;
        f->move_window(1500, 1200, 8880, 6765);
        test_env::settle();
    }
    // pic's rectangle in twips.
    Place pic_place() const {
        return {f->pic.left(), f->pic.top(), f->pic.width(), f->pic.height()};
    }
    // What every mode shows besides the window's place: panels, background, pic's place.
    void expect_layout(byte mode) {
        const bool normal = mode == 0;
        EXPECT_EQ(f->Frame1.visible() && f->Frame3.visible() && f->Frame4.visible(), normal);
        EXPECT_FALSE(!normal &&
                     (f->Frame1.visible() || f->Frame3.visible() || f->Frame4.visible()));
        EXPECT_EQ(f->backColor(), normal ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::black));
        const Place want_pic =
            normal ? Place{3000, 3120, 5655, 3495} : Place{0, 0, f->scaleWidth(), f->scaleHeight()};
        EXPECT_EQ(pic_place(), want_pic);
    }
};

TEST_F(Modes, TransitionsAndWhatEachRecords) {
    w_left = 3000, w_top = 1500, w_width = 9000, w_height = 6000;
    const Place normal_at_0{0, 0, 8880, 6765};
    // Each step: what is done, then the mode, window state and place, n_left/n_top and the
    // remembered fit-to-window rectangle.
    struct Row {
        const char* name;
        std::function<void()> act;
        byte mode;
        int state;
        Place window;
        std::pair<int, int> n;
        Place w;
    };
    const auto set = [&](byte m) { return [this, m] { menu->hyouji_set(m); }; };
    const Row rows[] = {
        {"the mode in force changes nothing",
         set(0),
         0,
         tk::Normal,
         {1500, 1200, 8880, 6765},
         {0, 0},
         {3000, 1500, 9000, 6000}},
        {"maximised",
         set(1),
         1,
         tk::Maximized,
         {0, 0, kScreenW, kScreenH},
         {1500, 1200},
         {3000, 1500, 9000, 6000}},
        {"fit to window from 1 records nothing",
         set(2),
         2,
         tk::Normal,
         {3000, 1500, 9000, 6000},
         {1500, 1200},
         {3000, 1500, 9000, 6000}},
        {"the user moves and sizes it",
         [&] { f->move(4500, 3000, 10500, 7500); },
         2,
         tk::Normal,
         {4500, 3000, 10500, 7500},
         {1500, 1200},
         {3000, 1500, 9000, 6000}},
        {"normal records the rectangle",
         set(0),
         0,
         tk::Normal,
         {1500, 1200, 8880, 6765},
         {1500, 1200},
         {4500, 3000, 10500, 7500}},
        {"and fit to window returns to it",
         set(2),
         2,
         tk::Normal,
         {4500, 3000, 10500, 7500},
         {1500, 1200},
         {4500, 3000, 10500, 7500}},
        {"maximised again",
         set(1),
         1,
         tk::Maximized,
         {0, 0, kScreenW, kScreenH},
         {1500, 1200},
         {4500, 3000, 10500, 7500}},
        {"restored by the user: fit to window",
         [&] { f->setWindowState(tk::Normal); },
         2,
         tk::Normal,
         {4500, 3000, 10500, 7500},
         {1500, 1200},
         {4500, 3000, 10500, 7500}},
        {"defolt in 2",
         [&] { menu->defolt_Click(); },
         2,
         tk::Normal,
         normal_at_0,
         {0, 0},
         normal_at_0},
        {"normal", set(0), 0, tk::Normal, normal_at_0, {0, 0}, normal_at_0},
        {"a window moved off the corner",
         [&] { f->move_window(6000, 3000, 8880, 6765); },
         0,
         tk::Normal,
         {6000, 3000, 8880, 6765},
         {0, 0},
         normal_at_0},
        {"defolt in 0",
         [&] { menu->defolt_Click(); },
         0,
         tk::Normal,
         normal_at_0,
         {0, 0},
         normal_at_0},
        {"maximised from the corner",
         set(1),
         1,
         tk::Maximized,
         {0, 0, kScreenW, kScreenH},
         {0, 0},
         normal_at_0},
        {"defolt in 1 shows nothing new",
         [&] {
             n_left = 750, w_left = 750;
             menu->defolt_Click();
         },
         1,
         tk::Maximized,
         {0, 0, kScreenW, kScreenH},
         {0, 0},
         normal_at_0},
        {"until 1 is left", set(2), 2, tk::Normal, normal_at_0, {0, 0}, normal_at_0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.act();
        test_env::settle();
        EXPECT_EQ(hyouji_mode, row.mode);
        EXPECT_EQ(f->windowState(), row.state);
        EXPECT_EQ(place(*f), row.window);
        EXPECT_EQ(std::pair(n_left, n_top), row.n);
        EXPECT_EQ((Place{double(w_left), double(w_top), double(w_width), double(w_height)}), row.w);
        expect_layout(row.mode);
    }
}

TEST_F(Modes, ModeInForceNeitherMovesNorRedraws) {
    for (const byte mode : {0, 1, 2}) {
        menu->hyouji_set(mode);
        f->pic.Cls();
        const Place before = place(*f);
        menu->hyouji_set(mode);
        EXPECT_EQ(place(*f), before) << int(mode);
        EXPECT_EQ(f->pic.image().pixelColor(f->pic.image().rect().center()), QColor(Qt::black));
    }
}

TEST_F(Modes, UserResizeSnapsBackOrRefits) {
    // Mode, where the window system puts the window, and where it ends.
    const std::tuple<byte, QRect, Place> rows[] = {
        {0, {100, 80, 700, 300}, {1500, 1200, 8880, 6765}},
        // Dragged partly off the screen, then resized: back to its size, inside the screen.
        {0, {1000, 600, 500, 300}, {kScreenW - 8880, kScreenH - 6765, 8880, 6765}},
        {2, {100, 80, 700, 300}, {1500, 1200, 10500, 4500}},
        {2, {200, 100, 1400, 1200}, {0, 0, kScreenW, kScreenH}},
    };
    for (const auto& [mode, rect, want] : rows) {
        SCOPED_TRACE(testing::Message() << int(mode) << " " << rect.width());
        menu->hyouji_set(0);
        f->move_window(1500, 1200, 8880, 6765);
        w_left = 1500, w_top = 1200, w_width = 8880, w_height = 6765;
        menu->hyouji_set(mode);
        if (rect.width() == 500) f->window()->move(rect.topLeft()); // the user drags first
        f->window()->resize(rect.size());
        test_env::settle();
        EXPECT_EQ(place(*f), want);
        expect_layout(mode);
        EXPECT_EQ(f->window()->size(), QSize(int(want[2] / 15), int(want[3] / 15)));
    }
}

TEST_F(Modes, MinimisedPausesTheSlideshow) {
    // Loupe on or off; Timer1 after the restore.
    for (const bool loupe : {false, true}) {
        play_flag = 1;
        f->loupe_flag = loupe;
        f->Timer1.setEnabled(true);
        f->Timer2.setEnabled(true);
        f->setWindowState(tk::Minimized);
        EXPECT_FALSE(f->Timer1.enabled() || f->Timer2.enabled());
        clock.advance(10000);
        EXPECT_EQ(play_no, 0) << "no tick while minimised";
        f->setWindowState(tk::Normal);
        EXPECT_EQ(f->Timer1.enabled(), !loupe);
        EXPECT_FALSE(f->Timer2.enabled()) << "a pending delayed load is dropped";
    }
}

TEST_F(Modes, MotoCheckMarkFollowsTheOption) {
    f->pic_moto.setPicture(test_env::filled(100, 50, Qt::darkCyan));
    EXPECT_FALSE(menu->moto.checked());
    for (const byte want : {1, 0, 1}) {
        if (want == 0)
            menu->moto_Click();
        else
            menu->moto.action()->trigger(); // as the menu does when the item is chosen
        EXPECT_EQ(moto_flag, want);
        EXPECT_EQ(menu->moto.checked(), want == 1);
    }
    // Drawn with the new option: the 400 x 300 picture at its own size, centred.
    EXPECT_EQ(f->pic.image().pixelColor(20, 20), QColor(Qt::black));
    EXPECT_EQ(f->pic.image().pixelColor(188, 116), QColor(Qt::darkCyan));
}

// A right click on the picture opens the menu at the click; either button chooses an item.
TEST_F(Modes, PopupMenuAtTheClick) {
    QWindow* window = f->window()->windowHandle();
    const std::tuple<byte, Qt::MouseButton, tk::MenuItem*, byte> rows[] = {
        {0, Qt::RightButton, &menu->m3, 2},
        {2, Qt::LeftButton, &menu->m2, 1},
        {1, Qt::RightButton, &menu->m1, 0},
    };
    for (const auto& [mode, button, item, next] : rows) {
        SCOPED_TRACE(int(mode));
        ASSERT_EQ(hyouji_mode, mode);
        const QPoint at = f->pic.pixelRect().topLeft() + QPoint(30, 40);
        QTest::mouseClick(window, Qt::RightButton, {}, at);
        QMenu& m = menu->menyu;
        ASSERT_TRUE(m.isVisible());
        EXPECT_EQ(m.pos(), f->window()->mapToGlobal(at));
        QTest::mouseClick(m.windowHandle(), button, {}, m.actionGeometry(item->action()).center());
        test_env::settle();
        EXPECT_FALSE(m.isVisible());
        EXPECT_EQ(hyouji_mode, next);
    }
    // With the loupe on, a right click zooms out instead.
    f->loupe_switch();
    QTest::mouseClick(window, Qt::RightButton, {}, f->pic.pixelRect().center());
    EXPECT_FALSE(menu->menyu.isVisible());
    EXPECT_EQ(f->zoom_no, 9);
}

} // namespace
