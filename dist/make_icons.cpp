// Writes the program's icons for the hicolor theme: the window icon itself at 32 x 32, and the
// scalable emblem rendered at the other usual sizes.
// Usage: pikuta-make-icons EMBLEM.svg OUTPUT SIZE...
// Each icon goes to OUTPUT/SIZExSIZE/pikuta.png; or, when OUTPUT ends in ".ico", all of them
// into that one Windows icon file.
#include "ui/artwork.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLoggingCategory>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <vector>

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

void put16(QByteArray& out, int value) {
    out.append(char(value & 0xFF)).append(char(value >> 8 & 0xFF));
}

void put32(QByteArray& out, quint32 value) {
    put16(out, int(value & 0xFFFF));
    put16(out, int(value >> 16));
}

// An icon image as Windows reads it: 256 x 256 as PNG, smaller ones as a bitmap (rows from
// the bottom, straight alpha) with the mask of transparent pixels after it.
QByteArray ico_image(const QImage& icon) {
    QByteArray out;
    if (icon.width() >= 256) {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        icon.save(&buffer, "PNG");
        return out;
    }
    const QImage image = icon.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height(), mask_row = (w + 31) / 32 * 4;
    for (const quint32 field :
         {40u, quint32(w), quint32(2 * h), 1u | 32u << 16, 0u, 0u, 0u, 0u, 0u, 0u})
        put32(out, field);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            put32(out, image.pixel(x, y));
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(mask_row, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(image.pixel(x, y)) == 0) row[x / 8] = char(row[x / 8] | 0x80 >> x % 8);
        out.append(row);
    }
    return out;
}

bool write_ico(const QString& file, const std::vector<QImage>& icons) {
    QByteArray head, images;
    put16(head, 0);
    put16(head, 1);
    put16(head, int(icons.size()));
    const int start = 6 + 16 * int(icons.size());
    for (const QImage& icon : icons) {
        const QByteArray image = ico_image(icon);
        const int side = icon.width() >= 256 ? 0 : icon.width(); // 0 stands for 256
        head.append(char(side)).append(char(side)).append(2, '\0');
        put16(head, 1);
        put16(head, 32);
        put32(head, quint32(image.size()));
        put32(head, quint32(start + images.size()));
        images.append(image);
    }
    QFile out(file);
    return out.open(QIODevice::WriteOnly) &&
           out.write(head + images) == head.size() + images.size();
}

} // namespace

int main(int argc, char* argv[]) {
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fputs("usage: pikuta-make-icons EMBLEM.svg OUTPUT_FOLDER|FILE.ico SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer emblem(QString::fromLocal8Bit(argv[1]));
    if (!emblem.isValid()) {
        std::fprintf(stderr, "pikuta-make-icons: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    std::vector<QImage> icons;
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder = QStringLiteral("%1/%2x%2").arg(output).arg(size);
        if (size > 0 && output.endsWith(QLatin1String(".ico"))) {
            icons.push_back(icon(emblem, size));
        } else if (size <= 0 || !QDir().mkpath(folder) ||
                   !icon(emblem, size).save(folder + QStringLiteral("/pikuta.png"))) {
            std::fprintf(stderr, "pikuta-make-icons: cannot write the %s px icon\n", argv[i]);
            return 1;
        }
    }
    if (!icons.empty() && !write_ico(output, icons)) {
        std::fprintf(stderr, "pikuta-make-icons: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
