// The loupe's arithmetic, and the mouse on the picture: zoom clicks, corner, strip and hints.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "display/display.h"
#include "support/test_env.h"

#include <QTest>
#include <QWindow>
#include <array>
#include <functional>

using namespace Module2;

namespace {

TEST(LoupeView, CentreClampingAndRectangles) {
    // In: view and picture sizes, new and old factor, centre. Out: the centre after the
    // drawing, then dx, dy, dw, dh, sx, sy, sw, sh (all zero: nothing drawn).
    using In = std::array<double, 8>;
    using Out = std::array<std::int32_t, 10>;
    const std::pair<In, Out> rows[] = {
        // Switched on: a small picture whole and centred.
        {{377, 233, 100, 50, 1, 1, 50, 25}, {50, 25, 138, 91, 100, 50, 0, 0, 100, 50}},
        // Doubled around a point 40 right of the middle (500 + 40).
        {{400, 300, 1000, 800, 2, 1, 540, 400}, {1080, 800, 0, 0, 400, 300, 440, 325, 200, 150}},
        // zw - 1 goes to zw, zh - 1 stays.
        {{400, 300, 100, 50, 1, 1, 99, 49}, {100, 49, 100, 101, 100, 50, 0, 0, 100, 50}},
        // Near the left edge: clear space on the left.
        {{400, 300, 1000, 800, 2, 2, 60, 800}, {60, 800, 140, 0, 260, 300, 0, 325, 130, 150}},
        // Left of and above the picture: kept at 1.
        {{400, 300, 100, 50, 1, 1, -30, 0}, {1, 1, 199, 149, 100, 50, 0, 0, 100, 50}},
        {{1280, 1024, 6000, 4000, 20, 10, 30000, 20000},
         {60000, 40000, 0, 0, 1280, 1024, 2968, 1974, 64, 51}},
        {{1280, 1024, 6000, 4000, 1.0 / 16, 1.0 / 8, 375, 250},
         {188, 125, 452, 387, 375, 250, 0, 0, 6000, 4000}},
        {{400, 300, 0, 0, 1, 1, 5, 5}, {0, 0}}, // no picture
    };
    for (const auto& [in, want] : rows) {
        const LoupeView v = loupe_view(in[0], in[1], in[2], in[3], in[4], in[5],
                                       std::int32_t(in[6]), std::int32_t(in[7]));
        const Out got =
            v.valid ? Out{v.loupe_x, v.loupe_y, v.dx, v.dy, v.dw, v.dh, v.sx, v.sy, v.sw, v.sh}
                    : Out{v.loupe_x, v.loupe_y};
        EXPECT_EQ(got, want) << in[0] << "x" << in[1] << " " << in[2] << "x" << in[3];
    }
}

TEST(LoupeView, CornerAndStripWithTheirGaps) {
    // A view 400 (or 401.5) x 300: quarters of 100 and 75, the strip below 225, PLAY/STOP over
    // 150..250. Columns: width, x, y, strip in force, what the point is. The edges only: what
    // each part does is Loupe.StripInTheFullWindowModes.
    using enum PicSpot;
    const std::tuple<double, double, double, bool, PicSpot> rows[] = {
        {400, 350, 30, false, LoupeCorner},   {400, 300, 30, true, Elsewhere},
        {400, 350, 75, true, Elsewhere},      {400, 350, 0, true, Elsewhere},
        {400, 100, 250, true, StripGap},      {400, 150, 250, true, StripGap},
        {400, 151, 250, true, StripPlay},     {400, 249, 250, true, StripPlay},
        {400, 250, 250, true, StripGap},      {400, 399.5, 299.5, true, StripNext},
        {400, 350, 225, true, Elsewhere},     {400, 50, 250, false, Elsewhere},
        {401.5, 302, 10, false, LoupeCorner}, // 401.5 rounds to 402: the corner after 301.5
        {401.5, 301, 10, false, Elsewhere},
    };
    for (const auto& [sw, x, y, strip, want] : rows)
        EXPECT_EQ(pic_spot(sw, 300, x, y, strip), want) << sw << " " << x << "," << y;
}

class Loupe : public test_env::Program {
  protected:
    MainForm* f = &main_fm.get();
    const QImage picture = test_env::patterned(1000, 800);

    // Three marked entries, entry 0 on show: a 1000 x 800 picture in a 377 x 233 view.
    void SetUp() override {
        test_env::fill_list(3, {0, 1, 2});
        play.play_no = 0;
        f->Show();
        f->pic_moto.setPicture(picture);
        f->picture.pic_ok = 1;
        f->move_window(0, 0, 8880, 6765);
    }
    QColor shown(int x, int y) const { return f->pic.image().pixelColor(x, y); }
    double sw() const { return f->pic.scaleWidth(); }
    double sh() const { return f->pic.scaleHeight(); }
};

TEST_F(Loupe, ZoomStepsAroundTheClickedPoint) {
    play.play_flag = 1;
    f->Timer1.setEnabled(true);
    f->loupe_switch();
    EXPECT_EQ(std::tuple(f->loupe.loupe_flag, f->loupe.zoom_no, f->loupe.loupe_x, f->loupe.loupe_y),
              std::tuple(1, 10, 500, 400));
    EXPECT_EQ(f->pic.widget()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_FALSE(f->Timer1.enabled());
    // Factor 1: the picture's middle at the view's middle (188, 116).
    EXPECT_EQ(shown(188, 116), picture.pixelColor(500, 400));
    // Each click: button, offset from the view's middle, then zoom index and centre.
    const std::tuple<int, double, int, std::int32_t, std::int32_t> clicks[] = {
        {tk::LeftButton, 40, 11, 1080, 800},   {tk::LeftButton, 0, 12, 2160, 1600},
        {tk::LeftButton, 0, 13, 3240, 2400},   {tk::LeftButton, 0, 14, 5400, 4000},
        {tk::LeftButton, 0, 15, 10800, 8000},  {tk::LeftButton, 10, 15, 10810, 8000},
        {tk::RightButton, 0, 14, 5405, 4000},  {tk::RightButton, 0, 13, 3243, 2400},
        {tk::MiddleButton, 0, 12, 2162, 1600}, {tk::RightButton, 0, 11, 1081, 800},
        {tk::RightButton, 0, 10, 540, 400},    {tk::RightButton, 0, 9, 270, 200},
        {tk::RightButton, 0, 8, 135, 100},     {tk::RightButton, 0, 7, 68, 50},
        {tk::RightButton, 0, 6, 34, 25},       {tk::RightButton, 0, 6, 34, 25},
    };
    for (const auto& [button, dx, zoom, x, y] : clicks) {
        SCOPED_TRACE(testing::Message() << zoom << " " << x);
        const QImage before = f->pic.image().copy();
        f->pic_MouseDown(button, 0, sw() / 2 + dx, sh() / 2);
        EXPECT_EQ(std::tuple(int(f->loupe.zoom_no), f->loupe.loupe_x, f->loupe.loupe_y),
                  std::tuple(zoom, x, y));
        EXPECT_TRUE(dx != 10 || f->pic.image() == before) << "at the limit nothing is drawn";
        EXPECT_FALSE(f->Timer1.enabled()) << "the loupe keeps the slideshow waiting";
    }
    // After the first click the clicked point (540, 400) is in the middle, as a sharp square.
    f->loupe_switch();
    f->loupe_switch();
    f->pic_MouseDown(tk::LeftButton, 0, sw() / 2 + 40, sh() / 2);
    EXPECT_EQ(shown(188, 116), picture.pixelColor(540, 400));
    EXPECT_EQ(shown(189, 117), picture.pixelColor(540, 400));
    // Off again from the corner; a right click there does nothing.
    f->pic_MouseDown(tk::RightButton, 0, sw() - 10, 10);
    EXPECT_EQ(f->loupe.loupe_flag, 1);
    f->pic_MouseDown(tk::LeftButton, 0, sw() - 10, 10);
    EXPECT_EQ(std::tuple(f->loupe.loupe_flag, f->pic.mousePointer()), std::tuple(0, 0));
    EXPECT_EQ(f->pic.widget()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(f->Timer1.enabled()) << "the slideshow goes on";
    EXPECT_EQ(shown(10, 116), QColor(0, 0, 0)) << "the whole picture again, fitted";
}

// Quick clicks come from the window system as a press and a double click: each one zooms.
TEST_F(Loupe, EveryQuickClickZooms) {
    f->loupe_switch();
    const QPoint middle = f->pic.pixelRect().center();
    QTest::mouseDClick(f->window()->windowHandle(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(f->loupe.zoom_no, 12);
    QTest::mouseDClick(f->window()->windowHandle(), Qt::RightButton, {}, middle);
    EXPECT_EQ(f->loupe.zoom_no, 10);
}

TEST_F(Loupe, StripInTheFullWindowModes) {
    // Mode, playing, click point (the strip lies below 175); then the entry reached, playing,
    // Timer1, Timer2 and the loupe.
    const std::tuple<byte, byte, double, double, int, byte, bool, bool, byte> rows[] = {
        {2, 0, 188, 200, 0, 1, true, false, 0},  // PLAY while stopped: one interval later
        {2, 1, 188, 200, 0, 0, false, false, 0}, // STOP while playing
        {1, 1, 260, 200, 0, 1, true, false, 0},  // the gap right of PLAY
        {1, 0, 50, 200, 2, 0, false, true, 0},   // BACK
        {2, 1, 330, 200, 1, 1, true, true, 0},   // NEXT while playing
        {0, 0, 188, 200, 0, 0, false, false, 0}, // normal mode has no strip
        {1, 0, 350, 20, 0, 0, false, false, 1},  // the corner
    };
    for (const auto& [mode, playing, x, y, no, flag, timer1, timer2, loupe] : rows) {
        SCOPED_TRACE(testing::Message() << int(mode) << " " << x << "," << y);
        placement.hyouji_mode = mode; // the strip depends on the code alone
        play.play_no = 0;
        play.play_flag = playing;
        f->loupe.loupe_flag = 0;
        f->Timer1.setEnabled(playing);
        f->Timer2.setEnabled(false);
        f->pic_MouseDown(tk::LeftButton, 0, x, y);
        EXPECT_EQ(std::tuple(play.play_no, play.play_flag, f->loupe.loupe_flag),
                  std::tuple(no, flag, loupe));
        EXPECT_EQ(std::pair(f->Timer1.enabled(), f->Timer2.enabled()), std::pair(timer1, timer2));
    }
}

TEST_F(Loupe, Hints) {
    // Balloon help, loupe, mode, playing, pointer; then the hint.
    const std::tuple<byte, byte, byte, byte, double, double, QString> rows[] = {
        {1, 1, 0, 0, 350, 20, texts::kLoupeEndHint},
        {1, 1, 2, 0, 188, 200, texts::kLoupeZoomHint},
        {1, 0, 2, 0, 50, 200, texts::kStripBackHint},
        {1, 0, 2, 0, 188, 200, texts::kStripPlayHint},
        {1, 0, 1, 1, 188, 200, texts::kStripStopHint},
        {1, 0, 2, 0, 330, 200, texts::kStripNextHint},
        {1, 0, 2, 0, 260, 200, {}},
        {1, 0, 2, 0, 350, 20, texts::kLoupeStartHint},
        {1, 0, 0, 0, 188, 200, texts::kMenuHint},
        {0, 0, 0, 0, 188, 200, {}},
        {0, 1, 0, 0, 350, 20, {}},
    };
    for (const auto& [opc4, loupe, mode, playing, x, y, hint] : rows) {
        options.opc4_flag = opc4, f->loupe.loupe_flag = loupe, placement.hyouji_mode = mode,
        play.play_flag = playing;
        f->pic_MouseMove(x, y);
        EXPECT_EQ(f->pic.toolTipText(), hint) << x;
    }
}

TEST_F(Loupe, PlaybackButtonsSwitchItOff) {
    // Lambdas, not member pointers: GCC 12's dynamic-type check on a call through a member
    // pointer reads a stale stack slot and crashes the sanitizer build.
    const std::function<void()> clicks[] = {
        [this] { f->Command1_Click(); }, [this] { f->Command2_Click(); },
        [this] { f->Command3_Click(); }, [this] { f->Command4_Click(); }};
    for (const auto& click : clicks) {
        f->loupe_switch();
        ASSERT_EQ(f->loupe.loupe_flag, 1);
        click();
        EXPECT_EQ(std::tuple(f->loupe.loupe_flag, f->pic.mousePointer()), std::tuple(0, 0));
    }
}

} // namespace
