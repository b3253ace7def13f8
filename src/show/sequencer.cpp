// Finding the next and the previous marked entry of the play list, with wrap-around.
#include "show/show.h"

#include "app/main_fm.h"
#include "app/module2.h"
#include "ui/texts.h"

#include <algorithm>
#include <vector>

using namespace Module2;

static void report(MainForm& f, const QString& message) {
    f.Timer1.setEnabled(false);
    f.Label5.setCaption(message);
    f.Label2.setCaption(QString());
}

static void found(MainForm& f, int i) {
    f.slideshow.play_ok = 1;
    f.keep_screen_awake(); // something to play again
    play.play_no = i;
    f.Label2.setCaption(QString::number(play.play_no + 1));
    f.Label5.setCaption(f.List1.list(play.play_no));
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
    slideshow.play_ok = 0;
    const int count = List1.listCount();
    if (count < 1) {
        report(*this, texts::kNothingToPlay);
        return;
    }
    play.play_no = next_start(play.play_no, count);
    const int i = first_marked_from(*this, play.play_no);
    if (i < 0) return report(*this, texts::kNothingMarked);
    found(*this, i);
}

int MainForm::upcoming_entry(int from) const {
    const int count = List1.listCount();
    return count < 1 ? -1 : first_marked_from(*this, next_start(from, count));
}

QStringList MainForm::entries_ahead() const {
    // Up to this interval one decode may take longer than a picture is shown: the slideshow
    // keeps up by reading two at a time, one on each core.
    constexpr int kTwoAheadBelowMs = 500;
    const int wanted = play.play_flag == 1 && Timer1.interval() < kTwoAheadBelowMs ? 2 : 1;
    std::vector<int> entries;
    if (Timer2.enabled() && slideshow.play_ok == 1 && play.play_no >= 0 &&
        play.play_no < List1.listCount())
        entries.push_back(play.play_no);
    while (int(entries.size()) < wanted) {
        const int next = upcoming_entry(entries.empty() ? play.play_no : entries.back());
        if (next < 0 || std::find(entries.begin(), entries.end(), next) != entries.end()) break;
        entries.push_back(next);
    }
    QStringList paths;
    for (const int i : entries)
        if (const QString path = List1.list(i); !paths.contains(path) && path != Label7.caption())
            paths << path;
    return paths;
}

void MainForm::play_back() {
    slideshow.play_ok = 0;
    const int count = List1.listCount();
    if (count < 1) {
        report(*this, texts::kNothingToPlay);
        return;
    }
    // An index left beyond a refilled list counts as no picture shown.
    if (play.play_no > count - 1) play.play_no = -1;
    play.play_no = play.play_no - 1 < 0 ? count - 1 : play.play_no - 1;
    for (int i = play.play_no; i >= 0; --i)
        if (List1.selected(i)) return found(*this, i);
    for (int i = count - 1; i >= play.play_no; --i)
        if (List1.selected(i)) return found(*this, i);
    report(*this, texts::kNothingMarked);
}
