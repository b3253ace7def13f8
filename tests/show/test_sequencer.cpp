// Finding the next and previous marked entry: scan order, wrap-around and the two messages.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "support/test_env.h"

#include <string>
#include <tuple>
#include <vector>

using Module2::play;
using test_env::kNothingMarked;

namespace {

class Sequencer : public test_env::Program {
  protected:
    MainForm* f = &main_fm.get();
    // Runs one step ('n' next, 'b' back) with the slideshow tick on, as it is while playing.
    void step(char op) {
        f->Timer1.setEnabled(true);
        op == 'n' ? f->play_next() : f->play_back();
    }
};

TEST_F(Sequencer, ScanOrder) {
    // Entries, the marked ones, play_no at the start, the steps ('n' play_next, 'b' play_back)
    // and play_no after each. With no entry marked, none is found.
    const std::tuple<int, std::vector<int>, int, std::string, std::vector<int>> cases[] = {
        {5, {}, 2, "nnn", {3, 4, 0}}, // none marked: one entry per call
        {5, {}, 1, "bbb", {0, 4, 3}},
        {5, {1, 3}, 3, "nb", {1, 3}}, // the second scan starts at the list's start
        {5, {2, 4}, -1, "n", {2}},
        {5, {2, 4}, -1, "b", {4}},
        {5, {0, 2}, 4, "n", {0}}, // the last wraps to the first before scanning
        {5, {2, 4}, 0, "b", {4}},
        {5, {2}, 2, "nnbb", {2, 2, 2, 2}}, // only the current one marked
        {4, {0, 1, 2, 3}, 1, "nnnn", {2, 3, 0, 1}},
        {3, {0, 2}, 7, "b", {2}}, // beyond a refilled list: back acts as from none
        {3, {}, 7, "b", {2}},
        {3, {1}, 7, "n", {1}},
        {2000, {5}, 1999, "n", {5}},
        {2000, {5}, 4, "b", {5}},
        {0, {}, 3, "nb", {3, 3}}, // emptied list: the stale index stays, the labels clear
    };
    for (const auto& [count, marked, start, ops, found] : cases) {
        test_env::fill_list(count, marked);
        play.play_no = start;
        const bool ok = !marked.empty();
        for (size_t k = 0; k < ops.size(); ++k) {
            SCOPED_TRACE(testing::Message() << "from " << start << " step " << k << ops);
            step(ops[k]);
            EXPECT_EQ(std::tuple(play.play_no, f->slideshow.play_ok),
                      std::tuple(found[k], ok ? 1 : 0));
            EXPECT_EQ(f->Timer1.enabled(), ok); // a found entry leaves the tick as it was
            EXPECT_EQ(f->Label2.caption(), ok ? QString::number(found[k] + 1) : "");
            EXPECT_EQ(f->Label5.caption(), ok      ? QStringLiteral("/p/%1.bmp").arg(found[k])
                                           : count ? kNothingMarked
                                                   : test_env::kNothingToPlay);
        }
    }
}

} // namespace
