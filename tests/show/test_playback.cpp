// PLAY, STOP, BACK, NEXT, the speed bar and the three timers, on a hand-driven clock.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "support/test_env.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

using Module2::play;

namespace {

class Playback : public test_env::Program {
  protected:
    MainForm* f = &main_fm.get();
    test_env::TempTree tree;
    QStringList paths;

    // Valid bitmaps, so that every load succeeds.
    void fill(int count, bool mark = true) {
        for (int i = 0; i < count; ++i) {
            paths << tree.bmp(QStringLiteral("p%1.bmp").arg(i));
            f->List1.addItem(paths.back());
            f->List1.setSelected(i, mark);
        }
    }
    QString loaded() const { return f->Label7.caption(); }
    // Moves the clock on by each step's milliseconds, expecting entry i loaded then (-1: none).
    void expect_loads(std::initializer_list<std::pair<int, int>> steps) {
        for (auto [ms, i] : steps) {
            clock.advance(ms);
            EXPECT_EQ(loaded(), i < 0 ? QString() : paths[i]) << "at " << clock.now() << " ms";
        }
    }
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
    void mark(int i, bool on) {
        f->List1.setSelected(i, on);
        f->List1_Click();
    }
    QScrollBar* bar() const { return static_cast<QScrollBar*>(f->HScroll1.widget()); }
};

// What a button receives for a quick second click: the window system reports the second press
// as a double click only.
void send_mouse(QWidget* w, QEvent::Type type) {
    const QPointF at = w->rect().center();
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
    QApplication::sendEvent(w, &e);
}

TEST_F(Playback, QuickSecondClickIsAPressToo) {
    fill(4);
    f->Show();
    QWidget* next = f->Command2.widget();
    send_mouse(next, QEvent::MouseButtonPress);
    send_mouse(next, QEvent::MouseButtonRelease);
    clock.advance(300);
    send_mouse(next, QEvent::MouseButtonDblClick);
    send_mouse(next, QEvent::MouseButtonRelease);
    EXPECT_EQ(play.play_no, 1) << "two clicks, two steps";
    // Loaded a second after the second click, not the first.
    expect_loads({{999, -1}, {1, 1}});
    // Held on the second press, it repeats.
    send_mouse(next, QEvent::MouseButtonPress);
    send_mouse(next, QEvent::MouseButtonRelease);
    send_mouse(next, QEvent::MouseButtonDblClick);
    EXPECT_EQ(play.play_no, 2);
    clock.advance(1000);
    EXPECT_EQ(play.play_no, 3) << "auto-repeat after a second";
    send_mouse(next, QEvent::MouseButtonRelease);
    EXPECT_EQ(play.play_no, 0) << "and the click on release";
}

TEST_F(Playback, SpeedBarSetsTheIntervalOnRelease) {
    // 1500 ms until the first change; the reset changes nothing while the value is still 3.
    f->Command5_Click();
    EXPECT_EQ(f->Timer1.interval(), 1500);
    EXPECT_EQ(f->Label4.caption(), QStringLiteral("3"));
    bar()->setSliderDown(true);
    bar()->setSliderPosition(9);
    EXPECT_EQ(std::pair(f->Label4.caption(), f->Timer1.interval()), std::pair(QString("9"), 1500));
    bar()->setSliderDown(false);
    EXPECT_EQ(f->Timer1.interval(), 4050);
    EXPECT_FALSE(f->Timer1.enabled()) << "stopped: only the interval changes";
    f->Command5_Click();
    EXPECT_EQ(f->HScroll1.value(), 3);
    EXPECT_EQ(f->Timer1.interval(), 450);
}

TEST_F(Playback, PlayStepsAtOnceThenOncePerInterval) {
    fill(3);
    f->Command3_Click();
    EXPECT_EQ(play.play_flag, 1);
    expect_loads({{0, 0}, {1499, 0}, {1, 1}, {1500, 2}, {1500, 0}});
    f->Command3_Click(); // PLAY while playing steps at once again
    expect_loads({{0, 1}, {1000, 1}});
    f->HScroll1.setValue(4); // 800 ms, counted from now
    expect_loads({{799, 1}, {1, 2}});
}

TEST_F(Playback, ReadAheadServesEveryWayOnAndFollowsTheEntryToShow) {
    fill(5);
    tree.bmp(QStringLiteral("other/x.bmp"));
    // What is done; then the entry loaded last, the entries read ahead, and the pictures shown
    // from memory so far.
    const std::tuple<const char*, std::function<void()>, int, std::vector<int>, int> rows[] = {
        {"PLAY", [&] { f->Command3_Click(); }, 0, {1}, 0},
        {"STOP keeps what PLAY shows next", [&] { f->Command4_Click(); }, 0, {1}, 0},
        {"PLAY again shows it", [&] { f->Command3_Click(); }, 1, {2}, 1},
        {"BACK reads the entry reached at once", [&] { click_back(); }, 1, {0}, 1},
        {"its delayed load shows it", [&] { clock.advance(1000); }, 0, {1}, 2},
        {"NEXT and its delayed load", [&] { click_next(), clock.advance(1000); }, 1, {2}, 3},
        {"unmarking the entry ahead drops it", [&] { mark(2, false); }, 1, {}, 3},
        {"the tick reads what comes next", [&] { clock.advance(1500); }, 3, {4}, 3},
        {"other marks keep it", [&] { mark(1, false); }, 3, {4}, 3},
        {"marking all keeps it", [&] { f->Command6_Click(); }, 3, {4}, 3},
        {"speed 1 reads two", [&] { f->HScroll1.setValue(1), clock.advance(50); }, 4, {0, 1}, 4},
        {"another folder drops them", [&] { f->Dir1.setPath(tree.folder("other")); }, 4, {}, 4},
    };
    for (const auto& [what, act, shown, ahead, taken] : rows) {
        act();
        QStringList ahead_paths;
        for (const int i : ahead)
            ahead_paths << paths[i];
        EXPECT_EQ(std::tuple(loaded(), f->picture.prefetch.ahead(), f->picture.prefetch.taken()),
                  std::tuple(paths[shown], ahead_paths, taken))
            << what;
    }
}

// Replaced by another picture after it was read ahead, a file shows its new content, also when
// it kept its size and time.
TEST_F(Playback, PictureReplacedAfterBeingReadAheadShowsTheNewContent) {
    const auto set_time = [](const QString& path, const QDateTime& t) {
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(t, QFileDevice::FileModificationTime);
    };
    // How; the new picture's size, whether the file keeps its time, whether written in place.
    const std::tuple<const char*, QSize, bool, bool> rows[] = {
        {"rewritten larger and later", {5, 3}, false, true},
        {"rewritten, size and time kept", {4, 3}, true, true},
        {"renamed over, size and time kept", {4, 3}, true, false},
    };
    for (const auto& [how, size, keep_time, in_place] : rows) {
        SCOPED_TRACE(how);
        test_env::fresh_program();
        f = &main_fm.get();
        paths.clear();
        fill(2);
        const QString next = paths[1];
        const QDateTime time(QDate(2020, 1, 2), QTime(3, 4, 5)); // kept exactly when set again
        set_time(next, time);
        f->Command3_Click(); // shows p0 and reads p1 ahead
        f->picture.prefetch.wait();
        // The system's clock for file changes moves in steps: let it pass the file's last change.
        for (QFile probe(tree.file("probe"));
             QFileInfo(probe).metadataChangeTime() <= QFileInfo(next).metadataChangeTime();)
            set_time(probe.fileName(), QDateTime::currentDateTime());
        const QString written =
            tree.bmp(in_place ? QStringLiteral("p1.bmp") : QStringLiteral("new.bmp"), Qt::red,
                     size.width(), size.height());
        set_time(written, keep_time ? time : time.addSecs(5));
        if (!in_place) {
            ASSERT_TRUE(std::rename(QFile::encodeName(written), QFile::encodeName(next)) == 0);
        }
        f->Command3_Click();
        EXPECT_EQ(loaded(), next);
        EXPECT_EQ(f->pic_moto.picture().size(), size);
        EXPECT_EQ(f->pic_moto.picture().pixelColor(0, 0), QColor(Qt::red));
    }
}

TEST_F(Playback, ClosingWhileAPictureIsReadAheadEndsCleanly) {
    fill(1);
    f->List1.addItem(tree.bmp(QStringLiteral("big.bmp"), Qt::red, 4000, 3000));
    f->List1.setSelected(1, true);
    f->Show();
    f->Command3_Click(); // shows p0 and starts reading the big one
    QPointer<QWidget> window = f->window();
    window->close();
    test_env::settle();
    EXPECT_FALSE(window || main_fm.loaded());
    EXPECT_EQ(store.flushes, 1);
}

TEST_F(Playback, HeldButtonStepsAfterASecondThenRapidlyWithoutLoading) {
    fill(10);
    f->Command2_MouseDown();
    for (const auto& [ms, number] : {std::pair{999, ""}, {1, "1"}, {1, "2"}}) {
        clock.advance(ms);
        EXPECT_EQ(f->Label2.caption(), number);
    }
    clock.advance(1999); // held three seconds in all: 2001 steps
    EXPECT_EQ(play.play_no, 2000 % 10);
    EXPECT_EQ(loaded(), QString());
    f->Command2_MouseUp();
    clock.advance(50);
    EXPECT_EQ(play.play_no, 0) << "the release stops the stepping";
    f->Command2_Click();
    expect_loads({{1000, 1}});
    // BACK steps backwards, and again only after a full second.
    f->Command1_MouseDown();
    clock.advance(1002);
    EXPECT_EQ(play.play_no, 8) << "steps 0, 9, 8";
    f->Command1_MouseUp();
    f->Command1_Click();
    expect_loads({{999, 1}, {1, 7}});
}

TEST_F(Playback, StepDuringSlideshowPausesLoadsThenResumes) {
    fill(4);
    f->Command3_Click();
    clock.advance(500);
    click_next();
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("2"));
    EXPECT_FALSE(f->Timer1.enabled()) << "the press pauses the slideshow";
    expect_loads({{999, 0}, {1, 1}, {1499, 1}, {1, 2}}); // resumes from the picture loaded
    click_back();
    EXPECT_EQ(play.play_no, 1);
    expect_loads({{1000, 1}});
    // A press that does not end as a click (released off the button) steps but loads nothing;
    // the slideshow stays paused until something switches its tick on again.
    f->Command2_MouseDown();
    clock.advance(1000);
    f->Command2_MouseUp();
    EXPECT_EQ(play.play_no, 2);
    expect_loads({{5000, 1}});
    EXPECT_EQ(play.play_flag, 1);
    f->HScroll1.setValue(2);
    expect_loads({{199, 1}, {1, 3}});
}

TEST_F(Playback, KeyStepWhilePlayingLeavesTheSlideshowRunning) {
    fill(4);
    f->Command3_Click();
    clock.advance(500);
    int key = 'n';
    f->Form_KeyPress(key);
    EXPECT_EQ(play.play_no, 1);
    // The tick steps on before the delayed load, which runs once; the tick keeps its own beat.
    expect_loads({{999, 0}, {1, 2}});
    EXPECT_FALSE(f->Timer2.enabled());
    expect_loads({{1500, 3}});
}

TEST_F(Playback, StopDropsTheDelayedLoadAndTheStepping) {
    fill(3);
    click_next();
    clock.advance(500);
    f->Command4_Click(); // STOP
    expect_loads({{3000, -1}});
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("1"));
    f->Command3_Click();
    f->Command2_MouseDown();
    clock.advance(1001);
    f->Command4_Click();
    const int reached = play.play_no;
    expect_loads({{5000, 1}});
    EXPECT_EQ(play.play_no, reached);
    EXPECT_EQ(play.play_flag, 0);
}

// The message itself: Sequencer.ScanOrder.
TEST_F(Playback, NothingMarkedReportsAndPausesButKeepsIntent) {
    fill(3, false);
    f->Command3_Click();
    EXPECT_EQ(f->Label5.caption(), test_env::kNothingMarked);
    EXPECT_TRUE(f->Timer1.enabled());
    expect_loads({{1500, -1}});
    EXPECT_FALSE(f->Timer1.enabled());
    EXPECT_EQ(play.play_flag, 1);
}

TEST_F(Playback, ScreenKeptAwakeWhileTheSlideshowPlays) {
    fill(3);
    f->Show();
    const auto mark_none = [this] {
        for (int i = 0; i < 3; ++i)
            f->List1.setSelected(i, false);
    };
    // What happens; then whether the screen is held awake, and how often that has changed.
    const std::tuple<const char*, std::function<void()>, bool, int> steps[] = {
        {"PLAY", [this] { f->Command3_Click(); }, true, 1},
        {"a speed change", [this] { f->HScroll1.setValue(5); }, true, 1},
        {"a resize", [this] { f->Form_Resize(); }, true, 1},
        {"NEXT held", [this] { f->Command2_MouseDown(); }, true, 1},
        {"NEXT clicked", [this] { f->Command2_MouseUp(), f->Command2_Click(); }, true, 1},
        {"the delayed load", [this] { clock.advance(1000); }, true, 1},
        {"the loupe's pause", [this] { f->loupe_switch(); }, false, 2},
        {"the loupe off", [this] { f->loupe_switch(); }, true, 3},
        {"minimised", [this] { f->setWindowState(tk::Minimized); }, false, 4},
        {"restored", [this] { f->setWindowState(tk::Normal); }, true, 5},
        {"STOP", [this] { f->Command4_Click(); }, false, 6},
        {"PLAY with nothing marked", [&] { mark_none(), f->Command3_Click(); }, false, 6},
        {"PLAY", [this] { f->Command6_Click(), f->Command3_Click(); }, true, 7},
        {"closing", [this] { tk::Unload(*f); }, false, 8},
    };
    for (const auto& [what, action, held, changes] : steps) {
        action();
        test_env::settle();
        EXPECT_EQ(std::pair(test_env::screen_awake().held, test_env::screen_awake().changes),
                  std::pair(held, changes))
            << what;
    }
}

} // namespace
