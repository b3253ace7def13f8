// PLAY, STOP, BACK, NEXT, the speed bar and the three timers of the slideshow.
#include "show/show.h"

#include "app/main_fm.h"
#include "app/module2.h"
#include "toolkit/scope_guard.h"

using namespace Module2;

namespace {
constexpr int kRepeatDelayMs = 1000;
constexpr int kRepeatFastMs = 1;
} // namespace

void MainForm::Timer1_Timer() {
    if (picture.busy_flag == 1) return;
    const auto busy = tk::hold<std::uint8_t>(picture.busy_flag, 1, 0);
    play_next();
    if (slideshow.play_ok == 1) load_picture();
}

void MainForm::Timer2_Timer() {
    Timer2.setEnabled(false);
    if (slideshow.play_ok == 1) timed_load();
    if (play.play_flag == 1) Timer1.setEnabled(true);
}

void MainForm::Timer3_Timer() {
    Timer3.setInterval(kRepeatFastMs);
    if (slideshow.repeat_back != 0)
        play_back();
    else
        play_next();
}

void MainForm::press_step(std::uint8_t back) {
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
    Timer3.setInterval(kRepeatDelayMs);
    slideshow.repeat_back = back;
    Timer3.setEnabled(true);
}

void MainForm::Command1_MouseDown() {
    press_step(1);
}
void MainForm::Command2_MouseDown() {
    press_step(0);
}
void MainForm::Command1_MouseUp() {
    Timer3.setEnabled(false);
}
void MainForm::Command2_MouseUp() {
    Timer3.setEnabled(false);
}

void MainForm::Command1_Click() {
    if (loupe.loupe_flag == 1) loupe_switch();
    play_back();
    Timer2.setEnabled(true);
    read_ahead(); // the delayed load's second goes to reading the picture
}

void MainForm::Command2_Click() {
    if (loupe.loupe_flag == 1) loupe_switch();
    play_next();
    Timer2.setEnabled(true);
    read_ahead();
}

void MainForm::Command3_Click() {
    if (loupe.loupe_flag == 1) loupe_switch();
    Timer1_Timer();
    Timer1.setEnabled(true);
    play.play_flag = 1;
}

void MainForm::Command4_Click() {
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
    Timer3.setEnabled(false);
    play.play_flag = 0;
    forget_stale_reads(); // what PLAY shows next is read already
    if (loupe.loupe_flag == 1) loupe_switch();
}

void MainForm::Command5_Click() {
    HScroll1.setValue(speed::kDefault);
}

void MainForm::HScroll1_Change() {
    Timer1.setEnabled(false);
    const int v = HScroll1.value();
    Timer1.setInterval(speed::interval_ms(v));
    if (play.play_flag == 1) Timer1.setEnabled(true);
    Label4.setCaption(QString::number(v));
}

void MainForm::HScroll1_Scroll() {
    Label4.setCaption(QString::number(HScroll1.value()));
}
