// Finding the next and previous marked entry: scan order, wrap-around and the two messages.
#include "app/forms.h"
#include "app/module2.h"
#include "support/test_env.h"
#include "toolkit/timer.h"
#include "ui/main_fm.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using Module2::play_no;

namespace {

const QString kNothingToPlay = QStringLiteral("再生できるﾌｧｲﾙがありません。");
const QString kNothingMarked = QStringLiteral("再生するﾌｧｲﾙが指定されていません。");

class Sequencer : public ::testing::Test {
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
    void fill(int count, const std::vector<int>& marked) {
        f->List1.clear();
        for (int i = 0; i < count; ++i)
            f->List1.addItem(QStringLiteral("entry%1").arg(i));
        for (int i : marked)
            f->List1.setSelected(i, true);
    }
    // Runs one step ('n' next, 'b' back) with the slideshow tick on, as it is while playing.
    void step(char op) {
        f->Timer1.setEnabled(true);
        op == 'n' ? f->play_next() : f->play_back();
    }
};

struct ScanCase {
    const char* name;
    int count;
    std::vector<int> marked;
    int start;
    std::string ops;        // 'n' play_next, 'b' play_back
    std::vector<int> found; // play_no after each step
    std::vector<int> ok;    // play_ok after each step
};

const ScanCase kScanCases[] = {
    {"NoneMarkedMovesOnePerCall", 5, {}, 2, "nnn", {3, 4, 0}, {0, 0, 0}},
    {"NoneMarkedBackWraps", 5, {}, 1, "bbb", {0, 4, 3}, {0, 0, 0}},
    {"SecondScanFromStart", 5, {1, 3}, 3, "nb", {1, 3}, {1, 1}},
    {"FromNoneNextGivesFirst", 5, {2, 4}, -1, "n", {2}, {1}},
    {"FromNoneBackGivesLast", 5, {2, 4}, -1, "b", {4}, {1}},
    {"LastWrapsToFirstBeforeScan", 5, {0, 2}, 4, "n", {0}, {1}},
    {"FirstWrapsToLastBeforeScan", 5, {2, 4}, 0, "b", {4}, {1}},
    {"OnlyCurrentMarkedFoundAgain", 5, {2}, 2, "nnbb", {2, 2, 2, 2}, {1, 1, 1, 1}},
    {"CurrentReachedLast", 4, {0, 1, 2, 3}, 1, "nnnn", {2, 3, 0, 1}, {1, 1, 1, 1}},
    {"BackBeyondRefilledListActsAsNone", 3, {0, 2}, 7, "b", {2}, {1}},
    {"BackBeyondRefilledListNoneMarked", 3, {}, 7, "b", {2}, {0}},
    {"NextBeyondRefilledListWraps", 3, {1}, 7, "n", {1}, {1}},
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class ScanOrder : public Sequencer, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(ScanOrder, StepsAndLabels) {
    const ScanCase& c = GetParam();
    fill(c.count, c.marked);
    play_no = c.start;
    for (size_t k = 0; k < c.ops.size(); ++k) {
        SCOPED_TRACE(testing::Message() << "step " << k << " '" << c.ops[k] << "'");
        step(c.ops[k]);
        EXPECT_EQ(play_no, c.found[k]);
        EXPECT_EQ(f->play_ok, c.ok[k]);
        if (c.ok[k]) {
            EXPECT_EQ(f->Label2.caption(), QString::number(c.found[k] + 1));
            EXPECT_EQ(f->Label5.caption(), QStringLiteral("entry%1").arg(c.found[k]));
            EXPECT_TRUE(f->Timer1.enabled()) << "a found entry leaves the tick as it was";
        } else {
            EXPECT_EQ(f->Label2.caption(), QString());
            EXPECT_EQ(f->Label5.caption(), kNothingMarked);
            EXPECT_FALSE(f->Timer1.enabled());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScanOrder, ::testing::ValuesIn(kScanCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Sequencer, EmptyListReportsAndKeepsIndex) {
    for (char op : {'n', 'b'}) {
        SCOPED_TRACE(op);
        play_no = 3; // stale from a list that was emptied
        f->Label2.setCaption(QStringLiteral("9"));
        f->play_ok = 1;
        step(op);
        EXPECT_EQ(play_no, 3);
        EXPECT_EQ(f->play_ok, 0);
        EXPECT_EQ(f->Label5.caption(), kNothingToPlay);
        EXPECT_EQ(f->Label2.caption(), QString());
        EXPECT_FALSE(f->Timer1.enabled());
    }
}

TEST_F(Sequencer, LabelShowsEntryTextAsItStands) {
    const QString odd = QStringLiteral("/tmp/a  b/ü ñ.bmp");
    f->List1.addItem(odd);
    f->List1.setSelected(0, true);
    play_no = -1;
    f->play_next();
    EXPECT_EQ(f->Label5.caption(), odd);
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("1"));
}

TEST_F(Sequencer, LongSparseListWrapsToOnlyMark) {
    fill(2000, {5});
    play_no = 1999;
    f->play_next();
    EXPECT_EQ(play_no, 5);
    play_no = 4;
    f->play_back();
    EXPECT_EQ(play_no, 5);
    EXPECT_EQ(f->Label2.caption(), QStringLiteral("6"));
}

} // namespace
