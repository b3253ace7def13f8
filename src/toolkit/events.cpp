#include "toolkit/events.h"

#include "toolkit/error.h"

#include <QApplication>
#include <QMessageBox>
#include <vector>

namespace tk {

namespace {
int g_depth = 0;
std::vector<std::function<void()>> g_idle;
UserEffects g_effects;

void run_idle() {
    while (g_depth == 0 && !g_idle.empty()) {
        auto fn = std::move(g_idle.front());
        g_idle.erase(g_idle.begin());
        fn();
    }
}
} // namespace

void dispatch(const std::function<void()>& handler) {
    ++g_depth;
    try {
        handler();
    } catch (const Error&) {
        // An untrapped failure ends only the handler it happened in.
    }
    --g_depth;
    run_idle();
}

int handler_depth() {
    return g_depth;
}

void when_idle(std::function<void()> fn) {
    g_idle.push_back(std::move(fn));
    run_idle();
}

void DoEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void MsgBoxInfo(const QString& text, const QString& title) {
    if (g_effects.message_box) {
        g_effects.message_box(text, title);
        return;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.exec();
}

void Beep() {
    if (g_effects.beep)
        g_effects.beep();
    else
        QApplication::beep();
}

void set_user_effects(UserEffects effects) {
    g_effects = std::move(effects);
}

} // namespace tk
