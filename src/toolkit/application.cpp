#include "toolkit/application.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStyleFactory>

namespace tk {

void init_application(QApplication& app) {
    app.setQuitOnLastWindowClosed(false);
    if (auto* style = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(style);
    // A proportional gothic face at 9 points, as the captions were laid out for.
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"IPAPGothic", "IPAexGothic", "IPAGothic", "Noto Sans CJK JP",
                             "MS UI Gothic", "Yu Gothic UI", "Meiryo UI"}) {
        if (families.contains(QLatin1String(name))) {
            QFont f{QString::fromLatin1(name)};
            f.setPointSizeF(9);
            app.setFont(f);
            break;
        }
    }
}

} // namespace tk
