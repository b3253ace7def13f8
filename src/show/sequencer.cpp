// Finding the next and the previous marked entry of the play list, with wrap-around.
#include "app/main_fm.h"
#include "app/messages.h"
#include "app/module2.h"

using namespace Module2;

static void report(MainForm& f, const QString& message) {
    f.Timer1.setEnabled(false);
    f.Label5.setCaption(message);
    f.Label2.setCaption(QString());
}

static void found(MainForm& f, int i) {
    f.play_ok = 1;
    f.keep_screen_awake(); // something to play again
    play_no = i;
    f.Label2.setCaption(QString::number(play_no + 1));
    f.Label5.setCaption(f.List1.list(play_no));
}

// Where play_next starts its scan: one on from `current`; an index left beyond a refilled
// list wraps like the end of the list.
static int next_start(int current, int count) {
    return (current + 1 > count - 1 || current < -1) ? 0 : current + 1;
}

// The first marked entry from `start` to the end, then from the top up to `start`; -1 if none.
static int first_marked_from(const MainForm& f, int start) {
    const int count = f.List1.listCount();
    for (int i = start; i < count; ++i)
        if (f.List1.selected(i)) return i;
    for (int i = 0; i <= start; ++i)
        if (f.List1.selected(i)) return i;
    return -1;
}

void MainForm::play_next() {
    play_ok = 0;
    const int count = List1.listCount();
    if (count < 1) {
        report(*this, messages::kNothingToPlay);
        return;
    }
    play_no = next_start(play_no, count);
    const int i = first_marked_from(*this, play_no);
    if (i < 0) return report(*this, messages::kNothingMarked);
    found(*this, i);
}

int MainForm::upcoming_entry() const {
    const int count = List1.listCount();
    return count < 1 ? -1 : first_marked_from(*this, next_start(play_no, count));
}

void MainForm::play_back() {
    play_ok = 0;
    const int count = List1.listCount();
    if (count < 1) {
        report(*this, messages::kNothingToPlay);
        return;
    }
    // An index left beyond a refilled list counts as no picture shown.
    if (play_no > count - 1) play_no = -1;
    play_no = play_no - 1 < 0 ? count - 1 : play_no - 1;
    for (int i = play_no; i >= 0; --i)
        if (List1.selected(i)) return found(*this, i);
    for (int i = count - 1; i >= play_no; --i)
        if (List1.selected(i)) return found(*this, i);
    report(*this, messages::kNothingMarked);
}
