#include "toolkit/application.h"

#include "toolkit/rounding.h"

#include <QApplication>
#include <QBuffer>
#include <QFontDatabase>
#include <QImageReader>
#include <QPixmapCache>
#include <QStyleFactory>
#include <QThreadPool>

namespace tk {

void prepare_application() {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // A scale factor asked of Qt by hand becomes a density like the desktop's own setting:
    // it enlarges the layout and the text, while pictures keep one pixel per screen pixel.
    bool number = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&number);
    if (!number || !(factor > 0 && factor <= 16)) return;
    qunsetenv("QT_SCALE_FACTOR");
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", QByteArray::number(to_int32(96 * factor)));
}

void init_application(QApplication& app) {
    app.setQuitOnLastWindowClosed(false);
    // The style's drive and folder icons are read through Qt's image reader, whose first use
    // loads every image format library: about as long as reading the fonts below takes, so a
    // worker does it meanwhile.
    QThreadPool::globalInstance()->start([] {
        QByteArray bytes("?");
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader(&buffer).canRead();
    });
    if (auto* style = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(style);
    // The style keeps pictures of controls under keys that include their palette, and every
    // display-mode change gives the controls new palettes (grey, black, grey again), so over a
    // long show the cache would fill to Qt's 10 MB with pictures never drawn again. The few
    // controls of these windows need a small part of 1 MB.
    QPixmapCache::setCacheLimit(1024);
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
