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

// The offscreen screens: 1280 x 1024 pixels, and 1024 x 768 to its right; no frame around
// windows (frame height 0).
constexpr double kScreenW = 19200, kScreenH = 15360;

class Modes : public test_env::Program {
  protected:
    MainForm* f = &main_fm.get();
    MenuForm* menu = &menu_fm.get();

    // A shown window with a picture on show, in mode 0 at (1500, 1200).
    void SetUp() override {
        f->Show();
        f->List1.addItem(QStringLiteral("/p/a.bmp"));
        play.play_no = 0;
        f->pic_moto.setPicture(test_env::filled(400, 300, Qt::darkCyan));
        f->picture.pic_ok = 1;
        f->move_window(1500, 1200, 8880, 6765);
        test_env::settle();
    }
    // What every mode shows besides the window's place: panels, background, pic's place.
    void expect_layout(byte mode) {
        const bool normal = mode == 0;
        for (const tk::Frame* frame : {&f->Frame1, &f->Frame3, &f->Frame4})
            EXPECT_EQ(frame->visible(), normal) << frame->name().toStdString();
        EXPECT_EQ(f->backColor(), normal ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::black));
        const Place pic{f->pic.left(), f->pic.top(), f->pic.width(), f->pic.height()};
        EXPECT_EQ(pic, (normal ? Place{3000, 3120, 5655, 3495}
                               : Place{0, 0, f->scaleWidth(), f->scaleHeight()}));
    }
};

TEST_F(Modes, TransitionsAndWhatEachRecords) {
    const Place normal{1500, 1200, 8880, 6765}, full{0, 0, kScreenW, kScreenH},
        w1{3000, 1500, 9000, 6000}, w2{4500, 3000, 10500, 7500}, corner{0, 0, 8880, 6765},
        second{21000, 1500, 8880, 6765}, second_full{kScreenW, 0, 15360, 11520};
    placement.w_left = 3000, placement.w_top = 1500, placement.w_width = 9000,
    placement.w_height = 6000;
    // Steps: a mode chosen, or one of these; then the mode, the window's place, n_left and
    // n_top, and the remembered fit-to-window rectangle.
    enum { Restore = 10, Defolt, UserMove, Moved, ToSecond, WmMaximise };
    const std::tuple<int, byte, Place, std::pair<int, int>, Place> rows[] = {
        {0, 0, normal, {0, 0}, w1}, // the mode in force changes nothing
        {1, 1, full, {1500, 1200}, w1},
        {2, 2, w1, {1500, 1200}, w1}, // leaving 1 records nothing
        {UserMove, 2, w2, {1500, 1200}, w1},
        {0, 0, normal, {1500, 1200}, w2},
        {2, 2, w2, {1500, 1200}, w2},          // 2 -> 0 -> 2 returns to the same rectangle
        {WmMaximise, 2, w2, {1500, 1200}, w2}, // undone, as in mode 0
        {1, 1, full, {1500, 1200}, w2},
        {Restore, 2, w2, {1500, 1200}, w2}, // restored by the user: fit to window
        {Defolt, 2, corner, {0, 0}, corner},
        {0, 0, corner, {0, 0}, corner},
        {Moved, 0, {6000, 3000, 8880, 6765}, {0, 0}, corner},
        {Defolt, 0, corner, {0, 0}, corner},
        {1, 1, full, {0, 0}, corner},
        {Defolt, 1, full, {0, 0}, corner}, // nothing to see until 1 is left
        {2, 2, corner, {0, 0}, corner},
        {0, 0, corner, {0, 0}, corner},
        {ToSecond, 0, second, {0, 0}, corner},
        {1, 1, second_full, {21000, 1500}, corner}, // the screen that holds the window
        {0, 0, second, {21000, 1500}, corner},
    };
    for (const auto& [step, mode, window, n, w] : rows) {
        SCOPED_TRACE(testing::Message() << "step " << step << " to mode " << int(mode));
        if (step <= 2) menu->hyouji_set(step);
        if (step == Restore) f->setWindowState(tk::Normal);
        if (step == Defolt) placement.n_left = 750, placement.w_left = 750, menu->defolt_Click();
        if (step == UserMove) f->move(4500, 3000, 10500, 7500);
        if (step == Moved) f->move_window(6000, 3000, 8880, 6765);
        if (step == ToSecond) f->move_window(21000, 1500, 8880, 6765);
        if (step == WmMaximise) f->setWindowState(tk::Maximized);
        test_env::settle();
        EXPECT_EQ(placement.hyouji_mode, mode);
        EXPECT_EQ(f->windowState(), mode == 1 ? tk::Maximized : tk::Normal);
        EXPECT_EQ(place(*f), window);
        EXPECT_EQ(std::pair(placement.n_left, placement.n_top), n);
        EXPECT_EQ((Place{double(placement.w_left), double(placement.w_top),
                         double(placement.w_width), double(placement.w_height)}),
                  w);
        expect_layout(mode);
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
        placement.w_left = 1500, placement.w_top = 1200, placement.w_width = 8880,
        placement.w_height = 6765;
        menu->hyouji_set(mode);
        if (rect.width() == 500) f->window()->move(rect.topLeft()); // the user drags first
        f->window()->resize(rect.size());
        test_env::settle();
        EXPECT_EQ(place(*f), want);
        expect_layout(mode);
        EXPECT_EQ(f->window()->size(), QSize(int(want[2] / 15), int(want[3] / 15)));
    }
}

// Each of the three ways to draw stops the timers when the window is minimised, and draws
// nothing; the restore starts the slideshow again unless the loupe holds it.
TEST_F(Modes, MinimisedPausesTheSlideshow) {
    const std::tuple<const char*, bool, std::function<void()>> rows[] = {
        {"the minimise's resize", false, nullptr},
        {"a redisplay", false, [this] { f->sai_hyouji(); }},
        {"the loupe's drawing", true, [this] { f->loupe.zoom_no = 12, f->draw_picture(); }},
    };
    for (const auto& [what, loupe, draw] : rows) {
        SCOPED_TRACE(what);
        f->setWindowState(tk::Normal);
        if (loupe) f->loupe_switch();
        play.play_flag = 1;
        f->Timer1.setEnabled(true);
        f->Timer2.setEnabled(true);
        f->setWindowState(tk::Minimized);
        if (draw) {
            f->Timer1.setEnabled(true);
            f->Timer2.setEnabled(true);
            f->pic.Cls();
            const QImage blank = f->pic.image();
            draw();
            EXPECT_EQ(f->pic.image(), blank);
        }
        EXPECT_FALSE(f->Timer1.enabled() || f->Timer2.enabled());
        clock.advance(10000);
        EXPECT_EQ(play.play_no, 0) << "no tick while minimised";
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
        EXPECT_EQ(options.moto_flag, want);
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
        ASSERT_EQ(placement.hyouji_mode, mode);
        const QPoint at = f->pic.pixelRect().topLeft() + QPoint(30, 40);
        QTest::mouseClick(window, Qt::RightButton, {}, at);
        QMenu& m = menu->menyu;
        ASSERT_TRUE(m.isVisible());
        EXPECT_EQ(m.pos(), f->window()->mapToGlobal(at));
        QTest::mouseClick(m.windowHandle(), button, {}, m.actionGeometry(item->action()).center());
        test_env::settle();
        EXPECT_FALSE(m.isVisible());
        EXPECT_EQ(placement.hyouji_mode, next);
    }
    // With the loupe on, a right click zooms out instead.
    f->loupe_switch();
    QTest::mouseClick(window, Qt::RightButton, {}, f->pic.pixelRect().center());
    EXPECT_FALSE(menu->menyu.isVisible());
    EXPECT_EQ(f->loupe.zoom_no, 9);
}

} // namespace
