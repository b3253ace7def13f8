// Marking entries of the play list, its click and double click, keys and the context hints.
#include "app/forms.h"
#include "app/module2.h"
#include "support/test_env.h"
#include "toolkit/timer.h"
#include "ui/main_fm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

using Module2::opc4_flag;
using Module2::play_no;

namespace {

const QString kNothingToPlay = QStringLiteral("再生できるﾌｧｲﾙがありません。");
const QString kNothingMarked = QStringLiteral("再生するﾌｧｲﾙが指定されていません。");
const QString kListHint = QStringLiteral("ここで再生したいﾌｧｲﾙを選びます。ﾏｳｽでﾄﾞﾗｯｸﾞしたり､ "
                                         "CTRLキーを押しながらｸﾘｯｸして選ぶと便利です");
const QString kEmptyListHint =
    QStringLiteral("選択可能なﾌｧｲﾙがありません。ﾄﾞﾗｲﾌﾞやﾌｫﾙﾀﾞを変更して検索をしてみてください");
const QString kNothingToPlayHint =
    QStringLiteral("画像ﾌｧｲﾙがあるﾄﾞﾗｲﾌﾞやﾌｫﾙﾀﾞを指定するか、または、検索をしてみてください");
const QString kNothingMarkedHint =
    QStringLiteral("少なくとも、一つ以上のﾌｧｲﾙをこの上のﾘｽﾄから選んでください");

class Selection : public ::testing::Test {
  protected:
    tk::ScopedManualClock clock; // before the window, so its timers never reach Qt's
    MainForm* f = nullptr;

    void SetUp() override {
        test_env::fresh_program();
        f = &main_fm.get();
    }
    void TearDown() override {
        main_fm.unload();
        test_env::settle();
    }
    void fill(const QStringList& entries) {
        for (const QString& e : entries)
            f->List1.addItem(e);
    }
    std::vector<int> marks() const {
        std::vector<int> m;
        for (int i = 0; i < f->List1.listCount(); ++i)
            if (f->List1.selected(i)) m.push_back(i);
        return m;
    }
    QListWidget* view() const { return static_cast<QListWidget*>(f->List1.widget()); }
};

TEST_F(Selection, SelectAll) {
    struct Case {
        int count;
        QString label5;
        std::uint8_t play_ok;
        QString hint;
    };
    const Case cases[] = {
        {0, kNothingToPlay, 0, kNothingToPlayHint},
        {25, QStringLiteral("25 個 選択"), 1, QString()},
        {1, QStringLiteral("1 個 選択"), 1, QString()},
    };
    opc4_flag = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        f->List1.clear();
        f->play_ok = 0;
        for (int i = 0; i < c.count; ++i)
            f->List1.addItem(QStringLiteral("/pics/%1.bmp").arg(i));
        f->Command6.click();
        test_env::settle();
        EXPECT_EQ(static_cast<int>(marks().size()), c.count);
        EXPECT_EQ(f->Label5.caption(), c.label5);
        EXPECT_EQ(f->play_ok, c.play_ok);
        f->Label5_MouseMove();
        EXPECT_EQ(f->Label5.toolTipText(), c.hint);
    }
}

TEST_F(Selection, ClickShowsNumberAndPath) {
    fill({QStringLiteral("/p/a.bmp"), QStringLiteral("/p/b.bmp"), QStringLiteral("/p/c d.bmp")});
    f->List1.setListIndex(2);
    f->List1_Click();
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("3"));
    EXPECT_EQ(f->Label5.caption(), QStringLiteral("/p/c d.bmp"));
}

// Clicking an entry of the real list runs the click with the clicked entry current.
TEST_F(Selection, MouseClickOnEntry) {
    fill({QStringLiteral("/p/a.bmp"), QStringLiteral("/p/b.bmp"), QStringLiteral("/p/c.bmp")});
    f->Show();
    test_env::settle();
    const QRect r = view()->visualItemRect(view()->item(1));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, r.center());
    test_env::settle();
    EXPECT_EQ(f->List1.listIndex(), 1);
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("2"));
    EXPECT_EQ(f->Label5.caption(), QStringLiteral("/p/b.bmp"));
    EXPECT_EQ(marks(), std::vector<int>{1});
}

TEST_F(Selection, DoubleClickStepsToNextMarkedAndLoadsLater) {
    fill({QStringLiteral("/p/a.bmp"), QStringLiteral("/p/b.bmp"), QStringLiteral("/p/c.bmp"),
          QStringLiteral("/p/d.bmp")});
    f->List1.setSelected(1, true);
    f->List1.setSelected(3, true);
    play_no = 1;
    f->List1_DblClick();
    EXPECT_EQ(play_no, 3);
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("4"));
    EXPECT_TRUE(f->Timer2.enabled());
    clock.advance(1000);
    EXPECT_EQ(f->Label7.caption(), QStringLiteral("/p/d.bmp")) << "the load was attempted";
}

TEST_F(Selection, Hints) {
    struct Case {
        std::uint8_t opc4;
        int count;
        QString label5;
        QString list_hint, label5_hint;
    };
    const QString keep = QStringLiteral("as before");
    const Case cases[] = {
        {1, 0, kNothingToPlay, kEmptyListHint, kNothingToPlayHint},
        {1, 3, kNothingMarked, kListHint, kNothingMarkedHint},
        {1, 3, QStringLiteral("/p/x.bmp"), kListHint, QString()},
        {1, 3, kNothingMarked + QLatin1Char(' '), kListHint, QString()},
        {1, 3, QStringLiteral("3 個 選択"), kListHint, QString()},
        {0, 0, kNothingToPlay, keep, keep},
        {0, 3, kNothingMarked, keep, keep},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.opc4) << " " << c.count << " " << c.label5.toStdString());
        opc4_flag = c.opc4;
        f->List1.clear();
        for (int i = 0; i < c.count; ++i)
            f->List1.addItem(QStringLiteral("/p/%1.bmp").arg(i));
        f->Label5.setCaption(c.label5);
        f->List1.setToolTipText(keep);
        f->Label5.setToolTipText(keep);
        f->List1_MouseMove();
        f->Label5_MouseMove();
        EXPECT_EQ(f->List1.toolTipText(), c.list_hint);
        EXPECT_EQ(f->Label5.toolTipText(), c.label5_hint);
    }
}

// Counts the tool-tip changes a widget receives.
class TipChanges : public QObject {
  public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        count += e->type() == QEvent::ToolTipChange;
        return false;
    }
};

// The hints follow every mouse movement but are written only when they change.
TEST_F(Selection, HintWrittenOnlyWhenItDiffers) {
    opc4_flag = 1;
    TipChanges list_tips, label_tips;
    f->List1.widget()->installEventFilter(&list_tips);
    f->Label5.widget()->installEventFilter(&label_tips);
    f->Label5.setCaption(kNothingToPlay);
    for (int i = 0; i < 3; ++i) {
        f->List1_MouseMove();
        f->Label5_MouseMove();
    }
    EXPECT_EQ(list_tips.count, 1);
    EXPECT_EQ(label_tips.count, 1);
    f->List1.addItem(QStringLiteral("/p/a.bmp"));
    f->Label5.setCaption(QStringLiteral("/p/a.bmp"));
    for (int i = 0; i < 3; ++i) {
        f->List1_MouseMove();
        f->Label5_MouseMove();
    }
    EXPECT_EQ(list_tips.count, 2);
    EXPECT_EQ(label_tips.count, 2);
    EXPECT_EQ(f->Label5.toolTipText(), QString());
    f->List1.widget()->removeEventFilter(&list_tips);
    f->Label5.widget()->removeEventFilter(&label_tips);
}

TEST_F(Selection, ShortcutKeysNeverReachTheList) {
    const struct {
        int key;
        int passed_on;
    } cases[] = {{'b', 0},   {'n', 0},   {'p', 0},   {'s', 0},   {'c', 0},   {'w', 0},
                 {'x', 'x'}, {'a', 'a'}, {'N', 'N'}, {'B', 'B'}, {'1', '1'}, {' ', ' '}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.key));
        int key = c.key;
        f->List1.onKeyPress(key);
        EXPECT_EQ(key, c.passed_on);
    }
}

// Presses and releases a key on `w` as the window system does: every event has its own time.
void type_key(QWidget* w, Qt::Key key, const QString& text) {
    static quint64 stamp = 1000;
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent e(type, key, Qt::NoModifier, text);
        e.setTimestamp(++stamp);
        QApplication::sendEvent(w, &e);
    }
}

// Typing a shortcut into the focused list acts as the shortcut and leaves the marks; other
// letters still search the list.
TEST_F(Selection, TypingIntoTheList) {
    fill({QStringLiteral("x1"), QStringLiteral("n2"), QStringLiteral("x3")});
    f->List1.setSelected(0, true);
    f->List1.setSelected(2, true);
    f->Show();
    test_env::settle();
    view()->setFocus();
    f->List1.setListIndex(1);
    for (int expected : {0, 2}) {
        type_key(view(), Qt::Key_N, QStringLiteral("n"));
        test_env::settle();
        EXPECT_EQ(marks(), (std::vector<int>{0, 2}));
        EXPECT_EQ(f->List1.listIndex(), 1);
        EXPECT_EQ(play_no, expected) << "n is NEXT";
        EXPECT_TRUE(f->Timer2.enabled());
    }
    type_key(view(), Qt::Key_X, QStringLiteral("x"));
    test_env::settle();
    EXPECT_EQ(f->List1.listIndex(), 2) << "type-ahead moved to the next x entry";
    EXPECT_EQ(marks(), std::vector<int>{2});
}

// Two key presses in a row are two shortcuts, also when they carry the same time stamp (as
// synthesised input does).
TEST_F(Selection, RepeatedShortcutKeyActsEachTime) {
    fill({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    f->List1.setSelected(0, true);
    f->List1.setSelected(2, true);
    f->Show();
    test_env::settle();
    QTest::keyClick(view(), Qt::Key_N);
    QTest::keyClick(view(), Qt::Key_N);
    EXPECT_EQ(play_no, 2);
    EXPECT_EQ(marks(), (std::vector<int>{0, 2}));
}

// Moving through the list from the keyboard shows the entry moved to, not the one left.
TEST_F(Selection, KeyboardMoveShowsTheNewEntry) {
    fill({QStringLiteral("/p/a.bmp"), QStringLiteral("/p/b.bmp"), QStringLiteral("/p/c.bmp")});
    f->Show();
    test_env::settle();
    view()->setFocus();
    f->List1.setListIndex(0);
    for (int row : {1, 2}) {
        SCOPED_TRACE(row);
        QTest::keyClick(view(), Qt::Key_Down, Qt::NoModifier);
        test_env::settle();
        EXPECT_EQ(f->List1.listIndex(), row);
        EXPECT_EQ(f->Label2.caption(), QString::number(row + 1));
        EXPECT_EQ(f->Label5.caption(), f->List1.list(row));
    }
}

} // namespace
