#include "platform/picture_io.h"
#include "platform/picture_prefetch.h"
#include "support/platform_env.h"

#include <QColorSpace>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <lcms2.h>

namespace {

using test_env::encode;
using test_env::filled;
using test_env::with_block;

const QImage kTeal = filled(64, 48, QColor(0, 128, 128));

// Each channel within 8 of the other colour's: what a lossy encoding leaves.
bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
           std::abs(a.blue() - b.blue()) < 8;
}

// An uncompressed bitmap of 24 or 32 bits a pixel, its rows stored from the bottom up unless
// `top_down`.
QByteArray bmp(const QImage& image, int bits, bool top_down) {
    const int w = image.width(), h = image.height(), stride = (w * bits + 31) / 32 * 4;
    QByteArray d(54 + stride * h, '\0');
    const auto put = [&](int at, quint32 v) { qToLittleEndian(v, d.data() + at); };
    d[0] = 'B', d[1] = 'M';
    put(2, quint32(d.size())), put(10, 54), put(14, 40), put(18, quint32(w));
    put(22, quint32(top_down ? -h : h)), put(26, 1 | bits << 16);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            char* at = d.data() + 54 + stride * (top_down ? y : h - 1 - y) + x * bits / 8;
            at[0] = char(qBlue(p)), at[1] = char(qGreen(p)), at[2] = char(qRed(p));
        }
    return d;
}

const QByteArray kExif("Exif\0\0", 6);

// A JPEG that carries a complete JPEG thumbnail, with its own end marker, in an APP1 block.
QByteArray with_thumbnail(const QByteArray& jpeg) {
    return with_block(jpeg, 0xE1, kExif + encode(filled(8, 8, Qt::red), "jpeg"));
}

// What ImageMagick's convert makes of the file `in` with these arguments, as a `format` file.
QByteArray magick(const QString& in, const QStringList& args, const QString& format) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    EXPECT_EQ(
        QProcess::execute("convert", QStringList{in} + args + QStringList{format + ':' + out}), 0)
        << in.toStdString() << " " << args.join(' ').toStdString();
    QFile file(out);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QByteArray magick(const QImage& picture, const QStringList& args, const QString& format) {
    QTemporaryDir dir;
    picture.save(dir.filePath("in.png"));
    return magick(dir.filePath("in.png"), args, format);
}

// A GIF as convert makes it: "-size W,H", then its frames and options (-repage: a logical screen
// larger than the frames).
QByteArray gif(const QString& size, const QStringList& frames) {
    return magick("-size", QStringList{size} + frames, "gif");
}

// A profile as Little CMS writes it.
QByteArray saved(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), 0);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    return bytes;
}

// The display profile `matrix` (primaries and curves) made a lookup table, as cameras' profiles
// often are: from its colours to Lab, sampled on a grid.
QByteArray as_table(const QByteArray& matrix) {
    cmsHPROFILE from = cmsOpenProfileFromMem(matrix.constData(), cmsUInt32Number(matrix.size()));
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM t =
        cmsCreateTransform(from, TYPE_RGB_16, lab, TYPE_Lab_DBL, INTENT_PERCEPTUAL, 0);
    cmsHPROFILE table = cmsTransform2DeviceLink(t, 4.3, 0);
    cmsSetDeviceClass(table, cmsSigDisplayClass);
    cmsSetPCS(table, cmsSigLabData);
    const QByteArray bytes = saved(table);
    for (cmsHPROFILE p : {from, lab, table})
        cmsCloseProfile(p);
    cmsDeleteTransform(t);
    return bytes;
}

// The colours near the corners of a picture of test_env::quarters, turned some way (top left,
// top right, bottom left, bottom right).
std::string corners(const QImage& image) {
    const int r = image.width() - 3, b = image.height() - 3;
    return test_env::quarter_letters(image, {{2, 2}, {r, 2}, {2, b}, {r, b}});
}

} // namespace

TEST(PictureIo, LoadsByContent) {
    const QByteArray jpeg = encode(kTeal, "jpeg");
    const QByteArray indexed = encode(kTeal.convertToFormat(QImage::Format_Indexed8), "bmp");
    QImage two_colours = filled(33, 5, Qt::blue); // yellow on top, an odd width: rows padded
    for (int x = 0; x < 33 * 2; ++x)
        two_colours.setPixelColor(x % 33, x / 33, Qt::yellow);
    struct Row {
        const char* name;
        QByteArray bytes;
        QSize size = {64, 48};
        QColor colour = kTeal.pixel(0, 0); // of the pixel at (1, 1)
    };
    const Row rows[] = {
        {"as the clipboard keeps it.dib", encode(kTeal, "bmp").mid(14)},
        {"with colours, as the clipboard keeps it.dib", indexed.mid(14)},
        {"bottom up, 24 bits.bmp", bmp(two_colours, 24, false), {33, 5}, Qt::yellow},
        {"top down, 32 bits.bmp", bmp(two_colours, 32, true), {33, 5}, Qt::yellow},
        {"f.jpg", jpeg + "trailing bytes after the end"},
        {"scan complete, no end marker.jpg", jpeg.chopped(2)},
        {"block length past the end, end marker kept.jpg",
         jpeg.chopped(2) + QByteArray("\xFF\xFE\xFF\xF0\xFF\xD9", 6)},
        {"padding between blocks.jpg", jpeg.left(20) + QByteArray(4, '\0') + jpeg.mid(20)},
        {"g.jpg", with_thumbnail(jpeg)},
        {"png named.emf", encode(kTeal, "png")},
        {"i.gif", gif("40x30", {"xc:red", "xc:blue"}), {40, 30}, Qt::red},
        {"gif named.jpg", gif("40x30", {"xc:blue"}), {40, 30}, Qt::blue},
        {"screen larger than frame.gif",
         gif("10x10", {"xc:lime", "-repage", "50x50"}),
         {50, 50},
         Qt::green},
        // The decoder needs the whole canvas: 1 GB at the limit (a row more fails:
        // DamagedOrAbsurdFilesFailQuickly).
        {"screen at the limit.gif",
         gif("4x4", {"xc:red", "-repage", "16000x15625"}),
         {16000, 15625},
         Qt::red},
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
    const QByteArray animated = gif("40x30", {"gradient:red-blue", "xc:blue"});
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
        {"cut in the first frame.gif", animated.left(animated.size() / 2)},
        {"gif header only.gif", animated.left(13)},
        {"gif without frame.gif", animated.left(13 + (3 << ((animated[10] & 7) + 1))) + ';'},
        {"random.jpg", random},
        {"text.gif", QByteArray("GIF8 is not a picture\n")},
        {"absurd.bmp", huge_bmp},
        {"absurd.jpg", huge_jpeg},
        {"screen a row over the limit.gif", gif("4x4", {"xc:red", "-repage", "16000x15626"})},
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
        {"exactly the need, reduced as decoded", jpeg, {need(300, 227), nullptr, true}, {300, 227}},
        {"exactly, but not larger", jpeg, {need(900, 700), nullptr, true}, {801, 601}},
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

TEST(PictureIo, TurnedAsTheExifOrientationSays) {
    using test_env::jpeg_turned;
    const QImage stored = test_env::quarters(96, 64);
    const QByteArray plain = encode(stored, "jpeg");
    const auto exif_block = [&](const QByteArray& tiff) {
        return with_block(plain, 0xE1, kExif + tiff);
    };
    // Orientation 6 with bytes of its TIFF structure overwritten.
    const auto damaged = [&](int at, const QByteArray& bytes) {
        return exif_block(test_env::exif_tiff(6).replace(at, bytes.size(), bytes));
    };
    const QSize wide(96, 64), tall(64, 96);
    struct Row {
        const char* name;
        QByteArray bytes;
        std::string corners; // see corners()
        QSize own;
        bool general = false; // read by Qt's reader, which reads the picture whole
        bool ahead = true;    // a kind the slideshow reads ahead
    };
    const Row rows[] = {
        {"1 as stored.jpg", jpeg_turned(stored, 1), "RLBY", wide},
        {"2 mirrored.jpg", jpeg_turned(stored, 2), "LRYB", wide},
        {"3 half round.jpg", jpeg_turned(stored, 3), "YBLR", wide},
        {"4 flipped.jpg", jpeg_turned(stored, 4), "BYRL", wide},
        {"5 mirrored across.jpg", jpeg_turned(stored, 5), "RBLY", tall},
        {"6 a quarter clockwise.jpg", jpeg_turned(stored, 6), "BRYL", tall},
        {"7 mirrored across the other way.jpg", jpeg_turned(stored, 7), "YLBR", tall},
        {"8 a quarter anticlockwise.jpg", jpeg_turned(stored, 8), "LYRB", tall},
        {"6 big-endian.jpg", jpeg_turned(stored, 6, true), "BRYL", tall},
        {"6 CMYK.jpg",
         with_block(magick(stored, {"-colorspace", "CMYK"}, "jpg"), 0xE1,
                    kExif + test_env::exif_tiff(6)),
         "BRYL", tall, true},
        {"6 TIFF.jpg", magick(stored, {"-orient", "RightTop"}, "tiff"), "BRYL", tall, true, false},
        // Damaged or absurd: as stored.
        {"9.jpg", jpeg_turned(stored, 9), "RLBY", wide},
        {"0.jpg", jpeg_turned(stored, 0), "RLBY", wide},
        {"directory past the end.jpg", damaged(4, "\xF0\xFF\xFF\x7F"), "RLBY", wide},
        {"not a SHORT.jpg", damaged(12, "\x04"), "RLBY", wide},
        {"cut in its entry.jpg", exif_block(test_env::exif_tiff(6).left(16)), "RLBY", wide},
        {"no byte order.jpg", damaged(0, "XX"), "RLBY", wide},
        {"Exif block of its name only.jpg", exif_block({}), "RLBY", wide},
    };
    const platform::SizeNeeded half = [](QSize own) { return own / 2; };
    const platform::SizeNeeded two_fifths = [](QSize own) { return own * 2 / 5; };
    test_env::TempTree tree;
    for (const Row& r : rows) {
        const QString path = tree.file(r.name, r.bytes);
        platform::Prefetch ahead;
        ahead.start(path, {two_fifths, nullptr, true});
        QSize own[3];
        const std::optional<platform::HeldPicture> read_ahead = ahead.take(path);
        if (read_ahead) own[2] = read_ahead->own;
        const std::tuple<const char*, QImage, QSize> ways[] = {
            {"whole", platform::read_picture(path, {}, &own[0]), r.own},
            {"reduced", platform::read_picture(path, {half}, &own[1]), r.own / 2},
            {"read ahead at the size shown", read_ahead ? read_ahead->image : QImage(),
             r.own * 2 / 5},
        };
        for (int i = 0; i < (r.ahead ? 3 : 2); ++i) {
            const auto& [way, image, size] = ways[i];
            EXPECT_EQ(corners(image), r.corners) << r.name << ", " << way;
            EXPECT_EQ(own[i], r.own) << r.name << ", " << way;
            EXPECT_EQ(image.size(), r.general ? r.own : size) << r.name << ", " << way;
        }
    }
}

TEST(PictureIo, EmbeddedProfilesGiveSrgbAsImageMagickConvertsThem) {
    const QString adobe = QStringLiteral("/usr/share/color/icc/compatibleWithAdobeRGB1998.icc");
    test_env::TempTree tree;
    // The standard's primaries and curve, without the lookup tables some sRGB profiles add.
    const QString srgb = tree.file("srgb.icc", QColorSpace(QColorSpace::SRgb).iccProfile());
    const QByteArray p3_bytes = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    const QByteArray table = as_table(p3_bytes);
    ASSERT_FALSE(QColorSpace::fromIccProfile(table).isValid()) << "a table Qt reads itself";
    const QString p3_table = tree.file("p3 table.icc", table);
    // Patches in quarters, as stored: one colour out of the sRGB range, two inside, grey.
    QImage patches(96, 64, QImage::Format_RGB32);
    const QColor colours[] = {{60, 160, 80}, {200, 60, 60}, {70, 90, 200}, {128, 128, 128}};
    for (int i = 0; i < 4; ++i)
        QPainter(&patches).fillRect(i % 2 * 48, i / 2 * 32, 48, 32, colours[i]);
    QFile adobe_file(adobe);
    ASSERT_TRUE(adobe_file.open(QIODevice::ReadOnly)) << "icc-profiles-free is missing";
    // Its header kept, the rest overwritten.
    const QByteArray broken = adobe_file.read(128) + QByteArray(adobe_file.size() - 128, '\x55');
    const QByteArray adobe_jpeg = magick(patches, {"-profile", adobe}, "jpg");
    struct Row {
        const char* name;
        QByteArray bytes;
        platform::SizeNeeded need = {};
        bool managed = true; // else shown as decoded
    };
    const Row rows[] = {
        {"Adobe RGB.jpg", adobe_jpeg},
        {"Adobe RGB, reduced.jpg", adobe_jpeg, [](QSize own) { return own / 2; }},
        {"Adobe RGB.bmp", magick(patches, {"-profile", adobe}, "bmp")},
        {"Display P3, a table in several blocks.jpg",
         magick(patches, {"-profile", p3_table}, "jpg")},
        {"damaged profile.jpg",
         with_block(encode(patches, "jpeg"), 0xE2, QByteArray("ICC_PROFILE\0\1\1", 14) + broken),
         {},
         false},
    };
    for (const Row& r : rows) {
        const QString path = tree.file(r.name, r.bytes);
        const QImage reference = QImage::fromData(
            magick(path, r.managed ? QStringList{"-profile", srgb} : QStringList{}, "png"));
        QSize own;
        const QImage image = platform::read_picture(path, {r.need}, &own);
        ASSERT_EQ(own, QSize(96, 64)) << r.name;
        for (int i = 0; i < 4; ++i) {
            const QColor want = reference.pixelColor(i % 2 * 48 + 24, i / 2 * 32 + 16);
            const QColor got = image.pixelColor((i % 2 * 48 + 24) * image.width() / 96,
                                                (i / 2 * 32 + 16) * image.height() / 64);
            EXPECT_TRUE(near(got, want))
                << r.name << ", patch " << i << ": " << got.red() << " " << got.green() << " "
                << got.blue() << " for " << want.red() << " " << want.green() << " " << want.blue();
        }
    }
}

TEST(PictureIo, TinyJpegsOfEveryKindLoad) {
    // Pictures of a few pixels need only a few bytes of memory, which come less aligned than
    // those of a photo.
    const QByteArray xmp = QByteArray("http://ns.adobe.com/xap/1.0/") + '\0' + "<x:xmpmeta/>";
    test_env::TempTree tree;
    for (int w = 1; w <= 5; ++w)
        for (int h = 1; h <= 5; ++h) {
            const QImage colour = filled(w, h, Qt::darkCyan);
            QImage profiled = colour;
            profiled.setColorSpace(QColorSpace::SRgb);
            const QByteArray jfif = encode(colour, "jpeg");
            const QByteArray bare =
                jfif.left(2) + jfif.mid(4 + qFromBigEndian<quint16>(jfif.constData() + 4));
            const std::pair<const char*, QByteArray> rows[] = {
                {"colour", jfif},
                {"grey", encode(colour.convertToFormat(QImage::Format_Grayscale8), "jpeg")},
                {"progressive", encode(colour, "jpeg", true)},
                {"with a colour profile", encode(profiled, "jpeg")},
                {"with XMP", with_block(jfif, 0xE1, xmp)},
                {"RGB, as an Adobe block without JFIF says",
                 with_block(bare, 0xEE, QByteArray("Adobe\0\x64\0\0\0\0\0", 12))},
            };
            for (const auto& [what, bytes] : rows) {
                QString why;
                const QImage image = platform::read_picture(tree.file("tiny.jpg", bytes), &why);
                EXPECT_EQ(image.size(), QSize(w, h))
                    << what << " " << w << "x" << h << ": " << why.toStdString();
            }
        }
}
