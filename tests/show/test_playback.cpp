// PLAY, STOP, BACK, NEXT, the speed bar and the three timers, on a hand-driven clock.
#include "app/forms.h"
#include "app/module2.h"
#include "support/test_env.h"
#include "toolkit/timer.h"
#include "ui/main_fm.h"

#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <gtest/gtest.h>

using Module2::play_flag;
using Module2::play_no;

namespace {

const QString kNothingToPlay = QStringLiteral("再生できるﾌｧｲﾙがありません。");
const QString kNothingMarked = QStringLiteral("再生するﾌｧｲﾙが指定されていません。");

// A small valid bitmap, so that every load succeeds.
QString write_bmp(const QString& folder, const QString& name) {
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    const QString path = QDir(folder).filePath(name);
    EXPECT_TRUE(img.save(path, "BMP"));
    return QDir::toNativeSeparators(path);
}

class Playback : public ::testing::Test {
  protected:
    tk::ScopedManualClock clock; // before the window, so its timers never reach Qt's
    test_env::TempTree tree;
    QStringList paths;
    MainForm* f = nullptr;

    void SetUp() override {
        test_env::fresh_program();
        f = &main_fm.get();
    }
    // Unloads while the clock still exists: armed timers must not outlive it.
    void TearDown() override {
        main_fm.unload();
        test_env::settle();
    }
    void fill(int count, bool mark = true) {
        for (int i = 0; i < count; ++i) {
            paths << write_bmp(tree.path(), QStringLiteral("p%1.bmp").arg(i));
            f->List1.addItem(paths.back());
            if (mark) f->List1.setSelected(i, true);
        }
    }
    QString loaded() const { return f->Label7.caption(); }
    void click_next() {
        f->Command2_MouseDown();
        f->Command2_MouseUp();
        f->Command2_Click();
    }
    void click_back() {
        f->Command1_MouseDown();
        f->Command1_MouseUp();
        f->Command1_Click();
    }
};

TEST_F(Playback, StartState) {
    EXPECT_EQ(f->Timer1.interval(), 1500);
    EXPECT_EQ(f->Timer2.interval(), 1000);
    EXPECT_FALSE(f->Timer1.enabled());
    EXPECT_FALSE(f->Timer2.enabled());
    EXPECT_FALSE(f->Timer3.enabled());
    EXPECT_EQ(f->HScroll1.min(), 1);
    EXPECT_EQ(f->HScroll1.max(), 10);
    EXPECT_EQ(f->HScroll1.value(), 3);
    auto* bar = static_cast<QScrollBar*>(f->HScroll1.widget());
    EXPECT_EQ(bar->singleStep(), 1);
    EXPECT_EQ(bar->pageStep(), 2);
    EXPECT_EQ(f->Label4.caption(), QStringLiteral("3"));
    // The reset does nothing while the value is already 3: the start interval stays.
    f->Command5_Click();
    EXPECT_EQ(f->Timer1.interval(), 1500);
}

// A stored speed other than 3 sets the tick's interval at start-up; a stored 3 changes nothing.
TEST(PlaybackStart, StoredSpeed) {
    const struct {
        const char* stored;
        int value, interval;
    } cases[] = {{"3", 3, 1500}, {"5", 5, 1250}, {"10", 10, 5000}, {"11", 3, 1500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        tk::ScopedManualClock clock;
        auto& store = test_env::fresh_program();
        for (const char* key : {"n_left", "n_top", "w_width", "w_height", "w_left", "w_top",
                                "opc1_flag", "opc2_flag", "opc3_flag", "opc4_flag"})
            store.values[QLatin1String(key)] = QStringLiteral("0");
        store.values[QStringLiteral("HScroll1_Value")] = QLatin1String(c.stored);
        EXPECT_EQ(main_fm->HScroll1.value(), c.value);
        EXPECT_EQ(main_fm->Timer1.interval(), c.interval);
        EXPECT_EQ(main_fm->Label4.caption(), QString::number(c.value));
        EXPECT_FALSE(main_fm->Timer1.enabled());
        main_fm.unload();
        test_env::settle();
    }
}

TEST_F(Playback, SpeedTable) {
    const int ms[] = {50, 200, 450, 800, 1250, 1800, 2450, 3200, 4050, 5000};
    for (int v = 1; v <= 10; ++v) {
        SCOPED_TRACE(v);
        f->HScroll1.setValue(v);
        EXPECT_EQ(f->Timer1.interval(), ms[v - 1]);
        EXPECT_EQ(f->Label4.caption(), QString::number(v));
        EXPECT_FALSE(f->Timer1.enabled()) << "stopped: only the interval changes";
    }
    f->Command5_Click();
    EXPECT_EQ(f->HScroll1.value(), 3);
    EXPECT_EQ(f->Timer1.interval(), 450);
    EXPECT_EQ(f->Label4.caption(), QStringLiteral("3"));
}

TEST_F(Playback, DragShowsValueButIntervalWaitsForRelease) {
    auto* bar = static_cast<QScrollBar*>(f->HScroll1.widget());
    bar->setSliderDown(true);
    bar->setSliderPosition(7);
    EXPECT_EQ(f->Label4.caption(), QStringLiteral("7"));
    EXPECT_EQ(f->Timer1.interval(), 1500);
    bar->setSliderPosition(9);
    EXPECT_EQ(f->Label4.caption(), QStringLiteral("9"));
    bar->setSliderDown(false);
    EXPECT_EQ(f->Timer1.interval(), 4050);
    EXPECT_EQ(f->Label4.caption(), QStringLiteral("9"));
}

TEST_F(Playback, PlayStepsAtOnceThenOncePerInterval) {
    fill(3);
    f->Command3_Click();
    EXPECT_EQ(loaded(), paths[0]);
    EXPECT_EQ(f->copy_ok, 1);
    EXPECT_EQ(play_flag, 1);
    EXPECT_TRUE(f->Timer1.enabled());
    clock.advance(1499);
    EXPECT_EQ(loaded(), paths[0]);
    clock.advance(1);
    EXPECT_EQ(loaded(), paths[1]);
    clock.advance(1500);
    EXPECT_EQ(loaded(), paths[2]);
    clock.advance(1500);
    EXPECT_EQ(loaded(), paths[0]) << "wraps to the start";
    // PLAY while playing steps at once again.
    f->Command3_Click();
    EXPECT_EQ(loaded(), paths[1]);
}

TEST_F(Playback, SpeedChangeWhilePlayingRestartsCountdown) {
    fill(3);
    f->Command3_Click();
    clock.advance(1000);
    f->HScroll1.setValue(4); // 800 ms, counted from now
    EXPECT_TRUE(f->Timer1.enabled());
    clock.advance(799);
    EXPECT_EQ(loaded(), paths[0]);
    clock.advance(1);
    EXPECT_EQ(loaded(), paths[1]);
}

TEST_F(Playback, QuickNextClicksLoadOnlyTheLastEntryReached) {
    fill(4);
    click_next();
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("1"));
    clock.advance(300);
    click_next();
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("2"));
    clock.advance(300);
    click_next();
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("3"));
    EXPECT_EQ(f->Label5.caption(), paths[2]);
    clock.advance(999);
    EXPECT_EQ(loaded(), QString());
    EXPECT_EQ(f->pic_ok, 0);
    clock.advance(1);
    EXPECT_EQ(loaded(), paths[2]);
    EXPECT_EQ(f->copy_ok, 1);
    EXPECT_FALSE(f->Timer2.enabled()) << "one-shot";
    EXPECT_FALSE(f->Timer1.enabled()) << "not playing: no slideshow afterwards";
    clock.advance(5000);
    EXPECT_EQ(loaded(), paths[2]);
}

TEST_F(Playback, HeldNextStepsWithoutLoading) {
    fill(10);
    f->Command2_MouseDown();
    clock.advance(999);
    EXPECT_EQ(f->Label2.caption(), QString());
    clock.advance(1);
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("1"));
    clock.advance(1);
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("2"));
    clock.advance(1999); // held three seconds in all: 2001 steps
    EXPECT_EQ(play_no, 2000 % 10);
    EXPECT_EQ(loaded(), QString());
    f->Command2_MouseUp();
    clock.advance(50);
    EXPECT_EQ(play_no, 0) << "the release stops the stepping";
    f->Command2_Click();
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("2"));
    clock.advance(1000);
    EXPECT_EQ(loaded(), paths[1]);
}

TEST_F(Playback, HeldBackStepsBackwards) {
    fill(5);
    f->Command1_MouseDown();
    EXPECT_EQ(f->repeat_back, 1);
    clock.advance(1002);
    EXPECT_EQ(play_no, 2) << "steps 4, 3, 2";
    f->Command1_MouseUp();
    f->Command1_Click();
    EXPECT_EQ(play_no, 1);
    clock.advance(1000);
    EXPECT_EQ(loaded(), paths[1]);
}

// A press that does not end as a click (released off the button) steps but arms no load; the
// slideshow stays paused until something switches its tick on again, here a speed change.
TEST_F(Playback, PressWithoutClickLeavesSlideshowPaused) {
    fill(4);
    f->Command3_Click();
    f->Command2_MouseDown();
    clock.advance(1000);
    f->Command2_MouseUp();
    EXPECT_EQ(play_no, 1);
    clock.advance(5000);
    EXPECT_EQ(loaded(), paths[0]);
    EXPECT_FALSE(f->Timer1.enabled());
    EXPECT_EQ(play_flag, 1);
    f->HScroll1.setValue(2);
    EXPECT_TRUE(f->Timer1.enabled());
    clock.advance(200);
    EXPECT_EQ(loaded(), paths[2]);
    // A new press waits the full second again before stepping.
    f->Command1_MouseDown();
    EXPECT_EQ(f->Timer3.interval(), 1000);
    clock.advance(999);
    EXPECT_EQ(play_no, 2);
    clock.advance(1);
    EXPECT_EQ(play_no, 1);
    f->Command1_MouseUp();
}

TEST_F(Playback, StepDuringSlideshowPausesLoadsThenResumes) {
    fill(4);
    f->Command3_Click();
    clock.advance(500);
    click_next();
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("2"));
    EXPECT_FALSE(f->Timer1.enabled()) << "the press pauses the slideshow";
    clock.advance(999);
    EXPECT_EQ(loaded(), paths[0]);
    clock.advance(1);
    EXPECT_EQ(loaded(), paths[1]);
    EXPECT_TRUE(f->Timer1.enabled());
    clock.advance(1499);
    EXPECT_EQ(loaded(), paths[1]);
    clock.advance(1);
    EXPECT_EQ(loaded(), paths[2]) << "resumes from the picture just loaded";
    click_back();
    EXPECT_EQ(play_no, 1);
    clock.advance(1000);
    EXPECT_EQ(loaded(), paths[1]);
}

TEST_F(Playback, StopWithinASecondDropsTheLoad) {
    fill(3);
    click_next();
    clock.advance(500);
    f->Command4_Click();
    EXPECT_FALSE(f->Timer1.enabled());
    EXPECT_FALSE(f->Timer2.enabled());
    EXPECT_FALSE(f->Timer3.enabled());
    EXPECT_EQ(play_flag, 0);
    clock.advance(3000);
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("1"));
    EXPECT_EQ(loaded(), QString());
}

TEST_F(Playback, StopEndsSteppingAndSlideshow) {
    fill(3);
    f->Command3_Click();
    f->Command2_MouseDown();
    clock.advance(1001);
    f->Command4_Click();
    const int reached = play_no;
    clock.advance(5000);
    EXPECT_EQ(play_no, reached);
    EXPECT_EQ(loaded(), paths[0]);
}

struct NothingCase {
    const char* name;
    int count;
    QString message;
};

void PrintTo(const NothingCase& c, std::ostream* os) {
    *os << c.name;
}

class NothingToPlay : public Playback, public ::testing::WithParamInterface<NothingCase> {};

TEST_P(NothingToPlay, PlayReportsAndPausesButKeepsIntent) {
    fill(GetParam().count, false);
    f->Command3_Click();
    EXPECT_EQ(f->Label5.caption(), GetParam().message);
    EXPECT_TRUE(f->Timer1.enabled());
    EXPECT_EQ(play_flag, 1);
    f->Label5.setCaption(QString());
    clock.advance(1500);
    EXPECT_EQ(f->Label5.caption(), GetParam().message);
    EXPECT_FALSE(f->Timer1.enabled());
    EXPECT_EQ(play_flag, 1);
    EXPECT_EQ(loaded(), QString());
}

INSTANTIATE_TEST_SUITE_P(Cases, NothingToPlay,
                         ::testing::Values(NothingCase{"EmptyList", 0, kNothingToPlay},
                                           NothingCase{"NothingMarked", 3, kNothingMarked}),
                         [](const auto& info) { return std::string(info.param.name); });

struct KeyCase {
    int key;
    int play_no;
    std::uint8_t play_flag;
    bool timer1, timer2;
};

TEST_F(Playback, ShortcutKeys) {
    fill(3);
    const KeyCase cases[] = {
        {'n', 0, 0, false, true},  {'n', 1, 0, false, true}, {'b', 0, 0, false, true},
        {'s', 0, 0, false, false}, {'p', 1, 1, true, false}, {'N', 1, 1, true, false},
        {'P', 1, 1, true, false},  {'x', 1, 1, true, false}, {'s', 1, 0, false, false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.key));
        int key = c.key;
        f->Form_KeyPress(key);
        EXPECT_EQ(play_no, c.play_no);
        EXPECT_EQ(play_flag, c.play_flag);
        EXPECT_EQ(f->Timer1.enabled(), c.timer1);
        EXPECT_EQ(f->Timer2.enabled(), c.timer2);
    }
}

TEST_F(Playback, KeyStepWhilePlayingLeavesTheSlideshowRunning) {
    fill(4);
    f->Command3_Click();
    clock.advance(500);
    int key = 'n';
    f->Form_KeyPress(key);
    EXPECT_EQ(play_no, 1);
    EXPECT_TRUE(f->Timer1.enabled()) << "no press: the slideshow is not paused";
    clock.advance(999);
    EXPECT_EQ(loaded(), paths[0]);
    clock.advance(1);
    EXPECT_EQ(loaded(), paths[2]) << "the tick stepped on before the delayed load";
    EXPECT_FALSE(f->Timer2.enabled());
    clock.advance(1500);
    EXPECT_EQ(loaded(), paths[3]) << "the tick keeps its own beat";
}

TEST_F(Playback, DelayedLoadAfterRebuiltListDoesNothing) {
    const QString first = tree.folder(QStringLiteral("a"));
    const QString second = tree.folder(QStringLiteral("b"));
    write_bmp(first, QStringLiteral("one.bmp"));
    write_bmp(second, QStringLiteral("two.bmp"));
    f->Dir1.setPath(first);
    ASSERT_EQ(f->List1.listCount(), 1);
    f->List1.setSelected(0, true);
    click_next();
    ASSERT_EQ(f->play_ok, 1);
    f->Dir1.setPath(second);
    ASSERT_EQ(play_no, -1);
    clock.advance(1000);
    EXPECT_EQ(loaded(), QString());
    EXPECT_EQ(f->pic_ok, 0);
    EXPECT_EQ(f->copy_ok, 0);
}

TEST_F(Playback, StaleIndexUsesAreHarmless) {
    fill(2);
    for (int stale : {-1, 2, 50, -7}) {
        SCOPED_TRACE(stale);
        play_no = stale;
        f->play_ok = 1;
        f->Timer2_Timer();
        f->timed_load();
        EXPECT_EQ(loaded(), QString());
        EXPECT_EQ(f->List1.list(stale), QString());
    }
}

} // namespace
