#include "support/platform_env.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace test_env {

QString MemoryStore::read(const QString&, const QString&, const QString& key) {
    return values.count(key) ? values.at(key) : QString();
}

void MemoryStore::write(const QString&, const QString&, const QString& key, const QString& value) {
    values[key] = value;
}

bool MemoryStore::flush() {
    ++flushes;
    return true;
}

void AwakeRecorder::hold(bool on, const QWidget* window) {
    EXPECT_EQ(window != nullptr, on) << "held for no window, or let go for one";
    if (on == held) return;
    held = on;
    ++changes;
}

AwakeRecorder& screen_awake() {
    return static_cast<AwakeRecorder&>(platform::screen_awake());
}

QString memory_place() {
    return QDir("/dev/shm").exists() ? "/dev/shm/pikuta-XXXXXX" : QString();
}

void touch(const QByteArray& path) {
    if (std::FILE* f = std::fopen(path.constData(), "wb")) std::fclose(f);
}

TempTree::TempTree() {
    QTemporaryDir dir;
    dir.setAutoRemove(false);
    root_ = QDir::toNativeSeparators(dir.path());
}

TempTree::~TempTree() {
    QDir(root_).removeRecursively();
}

QString TempTree::file(const QString& relative, const QByteArray& content) {
    const QString full = QDir(root_).filePath(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return QDir::toNativeSeparators(full);
}

QString TempTree::folder(const QString& relative) {
    const QString full = QDir(root_).filePath(relative);
    QDir().mkpath(full);
    return QDir::toNativeSeparators(full);
}

QString TempTree::bmp(const QString& relative, QColor colour, int w, int h) {
    const QString path = file(relative, {});
    EXPECT_TRUE(filled(w, h, colour).save(path, "BMP")) << path.toStdString();
    return path;
}

QImage filled(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage patterned(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 40 + (y / 256) * 6));
    return image;
}

int count_pixels(const QImage& image, const std::function<bool(QPoint, QColor)>& which) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += which({x, y}, image.pixelColor(x, y));
    return n;
}

QImage quarters(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(0, 255, 0));
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::yellow);
    return image;
}

std::string quarter_letters(const QImage& image, std::initializer_list<QPoint> points) {
    const std::pair<char, QColor> letters[] = {
        {'R', Qt::red}, {'L', QColor(0, 255, 0)}, {'B', Qt::blue}, {'Y', Qt::yellow}};
    std::string found;
    for (const QPoint p : points) {
        const QColor c = image.valid(p) ? image.pixelColor(p) : QColor();
        char letter = '?';
        for (const auto& [l, colour] : letters)
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                24)
                letter = l;
        found += letter;
    }
    return found;
}

QByteArray exif_tiff(int orientation, bool big_endian) {
    // Header, one directory of one entry (tag 0x0112, a SHORT, one of it), no next directory.
    const auto u16 = [&](int v) {
        const QByteArray high(1, char(v >> 8)), low(1, char(v & 0xFF));
        return big_endian ? high + low : low + high;
    };
    const auto u32 = [&](int v) { return big_endian ? u16(0) + u16(v) : u16(v) + u16(0); };
    return (big_endian ? "MM" : "II") + u16(42) + u32(8) + u16(1) + u16(0x0112) + u16(3) + u32(1) +
           u16(orientation) + u16(0) + u32(0);
}

QByteArray with_block(const QByteArray& jpeg, int marker, const QByteArray& payload) {
    const int length = int(payload.size()) + 2;
    return jpeg.left(2) + char(0xFF) + char(marker) + char(length >> 8) + char(length & 0xFF) +
           payload + jpeg.mid(2);
}

QByteArray encode(const QImage& image, const char* format, bool progressive, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

QByteArray jpeg_turned(const QImage& stored, int orientation, bool big_endian) {
    return with_block(encode(stored, "jpeg", false, 95), 0xE1,
                      QByteArray("Exif\0\0", 6) + exif_tiff(orientation, big_endian));
}

} // namespace test_env
