#include "child_process.h"
#include "metafile_builders.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QScreen>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <string_view>

using namespace metafile_test;
using pikuta::metafile::ChildLimits;
using namespace std::chrono_literals;

namespace {

QString samplePath(const char* name) {
    return QStringLiteral(PIKUTA_METAFILE_SAMPLES "/") + name;
}

Bytes sample(const char* name) {
    QFile file(samplePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

QByteArray bytes(const Bytes& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

// Share of pixels whose colour differs clearly; anti-aliasing and font hinting stay below it.
double differingShare(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            differing +=
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))}) > 64;
        }
    return double(differing) / (double(x.width()) * x.height());
}

// Reads a picture, failing the test when that takes two seconds or more; true when one came out.
// The instrumented renderer of the sanitizer build is slow: there only its limits bound it.
bool readsQuickly(QImageReader& reader, std::chrono::milliseconds within = 2s) {
    if (pikuta::metafile::underAddressSanitizer)
        within = std::max<std::chrono::milliseconds>(within, ChildLimits().wallTime + 1s);
    const auto start = std::chrono::steady_clock::now();
    const bool drawn = !reader.read().isNull();
    EXPECT_LT(std::chrono::steady_clock::now() - start, within);
    return drawn;
}

// The samples read from memory, where only their content tells what they are (a PNG named .emf:
// tests/platform/test_picture_io.cpp).
TEST(MetafileReader, SamplesLoadByContentAtNaturalSizeLikeTheirReferences) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96);
    // plain.wmf is measured by the renderer: the inked 202 x 152 device units at 72 per inch.
    const std::pair<const char*, QSize> cases[] = {
        {"shapes.emf", {320, 240}},   {"scaled.emf", {320, 240}},   {"noframe.emf", {200, 100}},
        {"margins.emf", {320, 240}},  {"features.emf", {320, 240}}, {"placeable.wmf", {320, 240}},
        {"features.wmf", {320, 240}}, {"shapes.wmf", {427, 320}},   {"plain.wmf", {269, 202}}};
    // Set to write the references anew after a deliberate change in drawing.
    const bool update = qEnvironmentVariableIsSet("PIKUTA_UPDATE_REFERENCES");
    for (const auto& [file, size] : cases) {
        SCOPED_TRACE(file);
        QBuffer memory;
        memory.setData(bytes(sample(file)));
        QImageReader reader(&memory);
        EXPECT_EQ(reader.format(), QByteArray(file).right(3));
        EXPECT_EQ(reader.size(), size);
        const QImage image = reader.read();
        ASSERT_EQ(image.size(), size) << reader.errorString().toStdString();
        const QString reference = QStringLiteral(PIKUTA_METAFILE_REFERENCES "/%1.png").arg(file);
        if (update) image.save(reference);
        const QImage expected(reference);
        ASSERT_EQ(expected.size(), image.size());
        EXPECT_LT(differingShare(image, expected), 0.01);
    }
    // Drawn larger, it is the same picture.
    QImageReader reader(samplePath("scaled.emf"));
    reader.setScaledSize({640, 480});
    const QImage large = reader.read();
    ASSERT_EQ(large.size(), QSize(640, 480));
    const QImage natural(samplePath("shapes.emf"));
    EXPECT_LT(
        differingShare(
            large.scaled(natural.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation), natural),
        0.03);
}

// Offset of the first record of `type`, walking the chain from the header.
std::size_t emfRecord(const Bytes& b, std::uint32_t type) {
    std::size_t at = 0;
    while (at + 8 <= b.size() && get32(b, at) != type)
        at += get32(b, at + 4);
    return at;
}

std::size_t wmfRecord(const Bytes& b, std::uint16_t function) {
    std::size_t at = 18;
    while (at + 6 <= b.size() && (b[at + 4] | b[at + 5] << 8) != function)
        at += 2 * get32(b, at);
    return at;
}

TEST(MetafileReader, BadInputFailsCleanlyAndQuickly) {
    const Bytes emf = sample("shapes.emf");
    const Bytes wmf = sample("shapes.wmf");
    const std::size_t firstEmf = get32(emf, 4);
    const std::size_t polygon = emfRecord(emf, 86);
    const std::size_t bitmap = emfRecord(emf, 81);
    const std::size_t text = emfRecord(emf, 84);
    const std::size_t wmfBitmap = wmfRecord(wmf, 0x0F43);
    Bytes hugeWmfPolygon = wmf;
    put16(hugeWmfPolygon, wmfRecord(wmf, 0x0324) + 6, 0x7FFF);
    const struct {
        const char* name;
        Bytes data;
        bool mayDraw = false; // damage the drawing library may survive and draw around
    } cases[] = {
        // The structure's faults: MetafileFormat.RefusesDamagedStructure; here only that the
        // reader asks.
        {"emf record size zero, an endless loop", patched32(emf, firstEmf + 4, 0)},
        {"emf polygon with more points than its record", patched32(emf, polygon + 24, 0x7FFFFFFF),
         true},
        {"emf bitmap of absurd size",
         patched32(patched32(emf, bitmap + 84, 100000), bitmap + 88, 100000), true},
        {"emf text longer than its record", patched32(emf, text + 44, 0x7FFFFFFF)},
        {"wmf polygon with more points than its record", hugeWmfPolygon, true},
        {"wmf bitmap of absurd size",
         patched32(patched32(wmf, wmfBitmap + 28 + 4, 100000), wmfBitmap + 28 + 8, 100000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QBuffer buffer;
        buffer.setData(bytes(c.data));
        QImageReader reader(&buffer);
        EXPECT_TRUE(!readsQuickly(reader) || c.mayDraw);
    }
}

TEST(MetafileReader, BrokenRendererFailsCleanlyAndQuickly) {
    // The renderer's stand-in; empty: there is none. (Hangs and crashes: the child process
    // tests.)
    const std::pair<const char*, const char*> cases[] = {
        {"allocates without end", "x=a; while :; do x=$x$x; done"},
        {"answers garbage", "cat >/dev/null; echo garbage"},
        {"answers another size", "cat >/dev/null; head -c 8 /dev/zero"},
        {"is missing", ""},
    };
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("PIKUTA_METAFILE_RENDERER");
    for (const auto& [name, body] : cases) {
        SCOPED_TRACE(name);
        // Without an address-space limit a shell that allocates would take the machine's memory.
        if (pikuta::metafile::underAddressSanitizer &&
            std::string_view(name) == "allocates without end")
            continue;
        const QString path = dir.filePath(name);
        if (*body) {
            QFile script(path);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(QByteArray("#!/bin/sh\n") + body + '\n');
            script.setPermissions(script.permissions() | QFile::ExeOwner);
        }
        qputenv("PIKUTA_METAFILE_RENDERER", QFile::encodeName(path));
        QImageReader reader(samplePath("shapes.emf"));
        // A renderer that works is stopped by its processor time, which on a machine shared
        // with other work comes later than the same span of wall time: only the wall clock's
        // limit bounds it there.
        EXPECT_FALSE(readsQuickly(reader, ChildLimits().wallTime + 1s));
    }
    qputenv("PIKUTA_METAFILE_RENDERER", saved);
}

} // namespace
