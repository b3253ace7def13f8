// Marking entries of the play list, its click and double click, keys and the context hints.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "support/test_env.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QTest>

using Module2::options;
using Module2::play;
using test_env::kNothingMarked;
using test_env::kNothingToPlay;

namespace {

class Selection : public test_env::Program {
  protected:
    MainForm* f = &main_fm.get();

    // Entries /p/0.bmp ... and the marks given; shown when `show`.
    void fill(int count, std::vector<int> marked = {}, bool show = false) {
        test_env::fill_list(count, marked);
        if (show) f->Show();
        test_env::settle();
    }
    std::vector<int> marks() const {
        std::vector<int> m;
        for (int i = 0; i < f->List1.listCount(); ++i)
            if (f->List1.selected(i)) m.push_back(i);
        return m;
    }
    QListWidget* view() const { return static_cast<QListWidget*>(f->List1.widget()); }
    void expect_current(int i) {
        EXPECT_EQ(f->List1.listIndex(), i);
        EXPECT_EQ(f->Label2.caption(), QString::number(i + 1));
        EXPECT_EQ(f->Label5.caption(), QStringLiteral("/p/%1.bmp").arg(i));
    }
};

TEST_F(Selection, SelectAll) {
    for (int count : {0, 25, 1}) {
        SCOPED_TRACE(count);
        fill(count);
        f->slideshow.play_ok = 0;
        f->Command6.click();
        test_env::settle();
        EXPECT_EQ(static_cast<int>(marks().size()), count);
        EXPECT_EQ(f->Label5.caption(), count ? texts::marked_all(count) : kNothingToPlay);
        EXPECT_EQ(f->slideshow.play_ok, count ? 1 : 0);
    }
}

// A keyboard move to an entry shows its number and path (a click: DoubleClickIsOneClick...);
// Ctrl and an arrow move the current entry alone: the marks stay, the labels follow.
TEST_F(Selection, KeyboardMoveShowsNumberAndPath) {
    fill(3, {}, true);
    view()->setFocus();
    f->List1.setListIndex(0);
    // The current entry reached, by the key with or without Ctrl, and the one marked then.
    for (auto [row, key, ctrl, marked] :
         {std::tuple{1, Qt::Key_Down, false, 1}, {0, Qt::Key_Up, true, 1}}) {
        QTest::keyClick(view(), key, ctrl ? Qt::ControlModifier : Qt::NoModifier);
        test_env::settle();
        expect_current(row); // the entry moved to, not the one left
        EXPECT_EQ(marks(), std::vector<int>{marked});
    }
}

// A real double click on an entry: the first click marks it, the second is NEXT only.
TEST_F(Selection, DoubleClickIsOneClickAndOneNext) {
    fill(4, {3}, true);
    const QRect r = view()->visualItemRect(view()->item(1));
    QTest::mouseDClick(f->window()->windowHandle(), Qt::LeftButton, Qt::ControlModifier,
                       view()->viewport()->mapTo(f->window(), r.center()));
    test_env::settle();
    expect_current(1);
    EXPECT_EQ(marks(), (std::vector<int>{1, 3}));
    EXPECT_EQ(play.play_no, 1) << "one step from the start";
    clock.advance(1000);
    EXPECT_EQ(f->Label7.caption(), QStringLiteral("/p/1.bmp")) << "the load was attempted";
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
TEST_F(Selection, Hints) {
    // opc4_flag, entries, Label5's caption, then the hints of List1 and Label5.
    const QString keep = QStringLiteral("as before");
    const std::tuple<int, int, QString, QString, QString> cases[] = {
        {1, 0, kNothingToPlay, texts::kListEmptyHint, texts::kNothingToPlayHint},
        {1, 3, kNothingMarked, texts::kListHint, texts::kNothingMarkedHint},
        {1, 3, QStringLiteral("/p/x.bmp"), texts::kListHint, QString()},
        {1, 3, kNothingMarked + QLatin1Char(' '), texts::kListHint, QString()},
        {0, 0, kNothingToPlay, keep, keep},
        {0, 3, kNothingMarked, keep, keep},
    };
    for (const auto& [opc4, count, label5, list_hint, label5_hint] : cases) {
        SCOPED_TRACE(testing::Message() << opc4 << " " << count << " " << label5.toStdString());
        options.opc4_flag = opc4;
        fill(count);
        f->Label5.setCaption(label5);
        f->List1.setToolTipText(keep);
        f->Label5.setToolTipText(keep);
        TipChanges list_tips, label_tips;
        f->List1.widget()->installEventFilter(&list_tips);
        f->Label5.widget()->installEventFilter(&label_tips);
        for (int i = 0; i < 3; ++i) {
            f->List1_MouseMove();
            f->Label5_MouseMove();
        }
        EXPECT_EQ(std::pair(f->List1.toolTipText(), list_tips.count),
                  std::pair(list_hint, int(list_hint != keep)));
        EXPECT_EQ(std::pair(f->Label5.toolTipText(), label_tips.count),
                  std::pair(label5_hint, int(label5_hint != keep)));
    }
}

TEST_F(Selection, ShortcutKeysNeverReachTheList) {
    for (int key : {'b', 'n', 'p', 's', 'c', 'w', 'x', 'N'}) {
        int k = key;
        f->List1.onKeyPress(k);
        EXPECT_EQ(k, QStringLiteral("bnpscw").contains(QChar(key)) ? 0 : key) << char(key);
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

// Typing a shortcut into the focused list acts as the shortcut and leaves the marks, also
// twice with the same time stamp (as synthesised input has); other letters still search.
TEST_F(Selection, TypingIntoTheList) {
    for (const char* text : {"x1", "n2", "x3"})
        f->List1.addItem(QString::fromLatin1(text));
    f->List1.setSelected(0, true);
    f->List1.setSelected(2, true);
    f->Show();
    test_env::settle();
    view()->setFocus();
    f->List1.setListIndex(1);
    QTest::keyClick(view(), Qt::Key_N);
    QTest::keyClick(view(), Qt::Key_N);
    EXPECT_EQ(play.play_no, 2);
    for (int expected : {0, 2}) {
        type_key(view(), Qt::Key_N, QStringLiteral("n"));
        test_env::settle();
        EXPECT_EQ(marks(), (std::vector<int>{0, 2}));
        EXPECT_EQ(f->List1.listIndex(), 1);
        EXPECT_EQ(play.play_no, expected) << "n is NEXT";
        EXPECT_TRUE(f->Timer2.enabled());
    }
    type_key(view(), Qt::Key_X, QStringLiteral("x"));
    test_env::settle();
    EXPECT_EQ(f->List1.listIndex(), 2) << "type-ahead moved to the next x entry";
    EXPECT_EQ(marks(), std::vector<int>{2});
}

} // namespace
