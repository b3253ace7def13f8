#include "platform/picture_io.h"
#include "support/test_env.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QtEndian>
#include <functional>

namespace {

using test_env::filled;

const QImage kTeal = filled(64, 48, QColor(0, 128, 128));

QByteArray encode(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

QByteArray le16(int v) {
    return QByteArray(1, char(v & 0xFF)) + char(v >> 8);
}

// Each channel within 8 of the other colour's: what a lossy encoding leaves.
bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
           std::abs(a.blue() - b.blue()) < 8;
}

// A GIF with palette red, blue, green, white; each frame is w x h of one palette index.
// Codes are 8 bits wide (code size 7), with a clear code often enough to keep them so.
QByteArray gif(int screen_w, int screen_h, const QList<QPair<QSize, int>>& frames) {
    QByteArray g = "GIF89a" + le16(screen_w) + le16(screen_h) + QByteArray("\x81\x00\x00", 3);
    g += QByteArray("\xFF\x00\x00\x00\x00\xFF\x00\xFF\x00\xFF\xFF\xFF", 12);
    for (const auto& [size, index] : frames) {
        g += QByteArray("\x21\xF9\x04\x00\x32\x00\x00\x00", 8); // 0.5 s per frame
        g += '\x2C' + le16(0) + le16(0) + le16(size.width()) + le16(size.height()) + '\0';
        QByteArray codes(1, char(128));
        for (int i = 0; i < size.width() * size.height(); ++i) {
            if (i % 100 == 99) codes += char(128);
            codes += char(index);
        }
        codes += char(129);
        g += char(7);
        for (qsizetype i = 0; i < codes.size(); i += 255) {
            const QByteArray part = codes.mid(i, 255);
            g += char(part.size()) + part;
        }
        g += '\0';
    }
    return g + ';';
}

// The JPEG with one more block of the given marker right after its start.
QByteArray with_block(const QByteArray& jpeg, char marker, const QByteArray& payload) {
    QByteArray length(2, 0);
    qToBigEndian<quint16>(quint16(payload.size() + 2), length.data());
    return jpeg.left(2) + '\xFF' + marker + length + payload + jpeg.mid(2);
}

// A JPEG that carries a complete JPEG thumbnail, with its own end marker, in an APP1 block.
QByteArray with_thumbnail(const QByteArray& jpeg) {
    return with_block(jpeg, '\xE1',
                      QByteArray("Exif\0\0", 6) + encode(filled(8, 8, Qt::red), "jpeg"));
}

} // namespace

TEST(PictureIo, LoadsByContent) {
    const QByteArray jpeg = encode(kTeal, "jpeg");
    const QByteArray indexed = encode(kTeal.convertToFormat(QImage::Format_Indexed8), "bmp");
    struct Row {
        const char* name;
        QByteArray bytes;
        QSize size = {64, 48};
        QColor colour = kTeal.pixel(0, 0); // of the pixel at (1, 1)
    };
    const Row rows[] = {
        {"a.bmp", encode(kTeal, "bmp")},
        {"b.dib", encode(kTeal, "bmp")},
        {"c.bmp", indexed},
        {"as the clipboard keeps it.dib", encode(kTeal, "bmp").mid(14)},
        {"with colours, as the clipboard keeps it.dib", indexed.mid(14)},
        {"e.jpg", encode(kTeal, "jpeg", true)},
        {"f.jpg", jpeg + "trailing bytes after the end"},
        {"scan complete, no end marker.jpg", jpeg.chopped(2)},
        {"block length past the end, end marker kept.jpg",
         jpeg.chopped(2) + QByteArray("\xFF\xFE\xFF\xF0\xFF\xD9", 6)},
        {"padding between blocks.jpg", jpeg.left(20) + QByteArray(4, '\0') + jpeg.mid(20)},
        {"g.jpg", with_thumbnail(jpeg)},
        {"png named.emf", encode(kTeal, "png")},
        {"i.gif", gif(40, 30, {{{40, 30}, 0}, {{40, 30}, 1}}), {40, 30}, Qt::red},
        {"gif named.jpg", gif(40, 30, {{{40, 30}, 1}}), {40, 30}, Qt::blue},
        {"jpeg named.bmp", jpeg},
        {"screen larger than frame.gif", gif(50, 50, {{{10, 10}, 2}}), {50, 50}, Qt::green},
    };
    test_env::TempTree tree;
    for (const Row& r : rows) {
        QString why;
        const QImage image = platform::read_picture(tree.file(r.name, r.bytes), &why);
        ASSERT_FALSE(image.isNull()) << r.name << ": " << why.toStdString();
        EXPECT_EQ(image.size(), r.size) << r.name;
        EXPECT_TRUE(near(image.pixelColor(1, 1), r.colour)) << r.name;
    }
    const QDir samples(QStringLiteral(PIKUTA_SAMPLES_DIR));
    const QStringList names = samples.entryList({"*.bmp", "*.dib", "*.jpg", "*.gif"});
    ASSERT_GE(names.size(), 4) << samples.path().toStdString();
    for (const QString& name : names)
        EXPECT_FALSE(platform::read_picture(samples.filePath(name)).isNull()) << name.toStdString();
}

TEST(PictureIo, DamagedOrAbsurdFilesFailQuickly) {
    const QByteArray bmp = encode(kTeal, "bmp");
    const QByteArray jpeg = encode(kTeal, "jpeg");
    const QByteArray progressive = encode(kTeal, "jpeg", true);
    const QByteArray animated = gif(40, 30, {{{40, 30}, 0}, {{40, 30}, 1}});
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    QByteArray huge_bmp = bmp, huge_jpeg = jpeg;
    qToLittleEndian<qint32>(100000, huge_bmp.data() + 18);
    qToLittleEndian<qint32>(100000, huge_bmp.data() + 22);
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    qToBigEndian<quint16>(65000, huge_jpeg.data() + sof + 5);
    qToBigEndian<quint16>(65000, huge_jpeg.data() + sof + 7);
    QRandomGenerator generator(1);
    QByteArray random(4096, 0);
    for (char& c : random)
        c = char(generator.bounded(256));
    const std::pair<const char*, QByteArray> rows[] = {
        {"empty.bmp", QByteArray()},
        {"last byte missing.bmp", bmp.chopped(1)},
        {"header only.dib", bmp.left(54)},
        {"cut in the headers.jpg", jpeg.left(scan - 20)},
        {"cut in the scan.jpg", jpeg.left(scan + (jpeg.size() - scan) / 2)},
        {"progressive cut.jpg", progressive.left(progressive.size() * 2 / 3)},
        {"thumbnail complete, picture cut.jpg",
         with_thumbnail(jpeg.left(scan + (jpeg.size() - scan) / 2))},
        {"half.gif", animated.left(animated.size() / 4)},
        {"gif header only.gif", animated.left(13)},
        {"gif without frame.gif", gif(40, 30, {})},
        {"random.jpg", random},
        {"text.gif", QByteArray("GIF8 is not a picture\n")},
        {"absurd.bmp", huge_bmp},
        {"absurd.jpg", huge_jpeg},
        {"absurd screen.gif", gif(65535, 65535, {{{4, 4}, 0}})},
    };
    test_env::TempTree tree;
    EXPECT_TRUE(platform::read_picture(tree.path() + "/missing.bmp").isNull());
    EXPECT_TRUE(platform::read_picture(QString()).isNull());
    EXPECT_TRUE(platform::read_picture(tree.path()).isNull()); // a folder
    for (const auto& [name, bytes] : rows) {
        QElapsedTimer timer;
        timer.start();
        QString why;
        EXPECT_TRUE(platform::read_picture(tree.file(name, bytes), &why).isNull()) << name;
        EXPECT_LT(timer.elapsed(), 1000) << name;
        EXPECT_FALSE(why.isEmpty()) << name;
    }
    // A huge file under a picture's name is judged from its start, without reading it all.
    QFile huge(tree.file("three gigabytes.jpg", jpeg.left(scan + 10)));
    ASSERT_TRUE(huge.resize(qint64(3) << 30));
    QElapsedTimer timer;
    timer.start();
    platform::read_picture(huge.fileName());
    EXPECT_LT(timer.elapsed(), 1000);
}

TEST(PictureIo, PicturesUpToTheLimitLoad) {
    // Screens with a small frame: the decoder needs the whole canvas, 1 GB at the limit.
    for (const int height : {15625, 15626}) { // at the limit, a row over it
        test_env::TempTree tree;
        QString why;
        const QImage image =
            platform::read_picture(tree.file("big.gif", gif(16000, height, {{{4, 4}, 0}})), &why);
        const bool loads = height == 15625;
        EXPECT_EQ(image.size(), loads ? QSize(16000, height) : QSize(0, 0)) << height;
        EXPECT_EQ(why.isEmpty(), loads) << height << why.toStdString();
    }
}

TEST(PictureIo, JpegReducedToTheSmallestScaleStillCoveringTheNeed) {
    const QImage teal = filled(801, 601, QColor(0, 128, 128));
    test_env::TempTree tree;
    const QString jpeg = tree.file("a.jpg", encode(teal, "jpeg"));
    const QString bmp = tree.file("a.bmp", encode(teal, "bmp"));
    const std::atomic<bool> cancelled{true};
    struct Row {
        const char* name;
        QString path;
        platform::ReadOptions options;
        QSize size; // of the picture read; 0 x 0 when it fails
    };
    const auto need = [](int w, int h) { return [=](QSize) { return QSize(w, h); }; };
    const Row rows[] = {
        {"nothing asked", jpeg, {}, {801, 601}},
        {"an eighth, rounded up", jpeg, {need(101, 76)}, {101, 76}},
        {"a pixel more than an eighth", jpeg, {need(102, 60)}, {201, 151}},
        {"half", jpeg, {need(401, 301)}, {401, 301}},
        {"more than half", jpeg, {need(402, 301)}, {801, 601}},
        {"not a JPEG", bmp, {need(10, 10)}, {801, 601}},
        {"cancelled", jpeg, {need(10, 10), &cancelled}, {0, 0}},
    };
    for (const Row& r : rows) {
        QSize own;
        const QImage image = platform::read_picture(r.path, r.options, &own);
        EXPECT_EQ(image.size(), r.size) << r.name;
        EXPECT_EQ(own, r.size.isEmpty() ? QSize(0, 0) : QSize(801, 601)) << r.name;
        EXPECT_TRUE(image.isNull() || near(image.pixelColor(5, 5), teal.pixelColor(0, 0)))
            << r.name;
    }
}

TEST(PictureIo, TinyJpegsOfEveryKindLoad) {
    // Pictures of a few pixels need only a few bytes of memory, which come less aligned than
    // those of a photo.
    const auto colour = [](int w, int h) { return encode(filled(w, h, Qt::darkCyan), "jpeg"); };
    struct Row {
        const char* what;
        std::function<QByteArray(int w, int h)> make;
    };
    const Row rows[] = {
        {"colour", colour},
        {"grey",
         [](int w, int h) {
             return encode(filled(w, h, Qt::gray).convertToFormat(QImage::Format_Grayscale8),
                           "jpeg");
         }},
        {"progressive",
         [](int w, int h) { return encode(filled(w, h, Qt::darkCyan), "jpeg", true); }},
        {"with a colour profile",
         [](int w, int h) {
             QImage i = filled(w, h, Qt::darkCyan);
             i.setColorSpace(QColorSpace::SRgb);
             return encode(i, "jpeg");
         }},
        {"with XMP",
         [&](int w, int h) {
             return with_block(colour(w, h), '\xE1',
                               QByteArray("http://ns.adobe.com/xap/1.0/") + '\0' + "<x:xmpmeta/>");
         }},
        {"RGB, as an Adobe block without JFIF says",
         [&](int w, int h) {
             const QByteArray jfif = colour(w, h);
             const QByteArray bare =
                 jfif.left(2) + jfif.mid(4 + qFromBigEndian<quint16>(jfif.constData() + 4));
             return with_block(bare, '\xEE', QByteArray("Adobe\0\x64\0\0\0\0\0", 12));
         }},
    };
    test_env::TempTree tree;
    for (const Row& r : rows)
        for (int w = 1; w <= 5; ++w)
            for (int h = 1; h <= 5; ++h) {
                QString why;
                const QImage image =
                    platform::read_picture(tree.file("tiny.jpg", r.make(w, h)), &why);
                EXPECT_EQ(image.size(), QSize(w, h))
                    << r.what << " " << w << "x" << h << ": " << why.toStdString();
            }
}
