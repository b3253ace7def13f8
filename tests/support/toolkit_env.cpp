#include "support/toolkit_env.h"

#include <QCoreApplication>

namespace test_env {

QStringList& messages() {
    static QStringList m;
    return m;
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace test_env
