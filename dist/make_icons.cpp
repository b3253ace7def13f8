// Writes the program's icons for the hicolor theme: the window icon itself at 32 x 32, and the
// scalable emblem rendered at the other usual sizes.
// Usage: pikuta-make-icons EMBLEM.svg OUTPUT_FOLDER SIZE...
// Each icon goes to OUTPUT_FOLDER/SIZExSIZE/pikuta.png.
#include "ui/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLoggingCategory>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

QImage icon(QSvgRenderer& emblem, int size) {
    // The window's own icon is drawn for 32 x 32; the emblem suits every other size.
    if (size == 32) return artwork::program_icon().pixmap(32, 32).toImage();
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    emblem.render(&painter);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fputs("usage: pikuta-make-icons EMBLEM.svg OUTPUT_FOLDER SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer emblem(QString::fromLocal8Bit(argv[1]));
    if (!emblem.isValid()) {
        std::fprintf(stderr, "pikuta-make-icons: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder =
            QStringLiteral("%1/%2x%2").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !icon(emblem, size).save(folder + QStringLiteral("/pikuta.png"))) {
            std::fprintf(stderr, "pikuta-make-icons: cannot write the %s px icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
