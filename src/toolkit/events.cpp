#include "toolkit/events.h"

#include "toolkit/scope_guard.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <exception>
#include <vector>

namespace tk {

namespace {
Q_LOGGING_CATEGORY(lcEvents, "pikuta.events", QtWarningMsg)

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
    {
        ++g_depth;
        const ScopeGuard leave([] { --g_depth; });
        try {
            handler();
        } catch (const std::exception& e) {
            qCInfo(lcEvents, "a handler failed: %s", e.what());
        } catch (...) {
            qCInfo(lcEvents, "a handler failed");
        }
    }
    run_idle();
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
