// File names as bytes: names that are not UTF-8 lead back to the same bytes and read sensibly.
#include "platform/file_names.h"

#include <gtest/gtest.h>

namespace {

TEST(FileNames, BytesSurviveTheTripAndReadAsShownToPeople) {
    const struct Row {
        const char* what;
        QByteArray bytes;
        QString readable;
    } rows[] = {
        {.what = "ascii", .bytes = "a b.jpg", .readable = "a b.jpg"},
        {.what = "utf-8", .bytes = "桜 🌸.jpg", .readable = QStringLiteral("桜 🌸.jpg")},
        // Its second half lies where kept bytes live; it is not one.
        {.what = "utf-8 U+1F4A9",
         .bytes = "\xF0\x9F\x92\xA9.jpg",
         .readable = QStringLiteral("💩.jpg")},
        {.what = "shift-jis", .bytes = "\x8D\xF7.jpg", .readable = QStringLiteral("桜.jpg")},
        // The last three bytes of 画像 are a valid UTF-8 sequence by chance.
        {.what = "shift-jis that is partly utf-8",
         .bytes = "/d/\x89\xE6\x91\x9C/\xE6\xA1\x9C.jpg",
         .readable = QStringLiteral("/d/画像/桜.jpg")},
        {.what = "neither",
         .bytes = "a\xFF\xFE.bmp",
         .readable = QStringLiteral("a\uFFFD\uFFFD.bmp")},
        // An overlong "/" is never a separator; as Shift-JIS it is two half-width katakana.
        {.what = "overlong slash", .bytes = "\xC0\xAF", .readable = QStringLiteral("ﾀｯ")},
        {.what = "encoded surrogate",
         .bytes = "\xED\xB2\x80",
         .readable = QStringLiteral("\uFFFD\uFFFD\uFFFD")},
        {.what = "cut-off sequence", .bytes = "x\xE6", .readable = QStringLiteral("x\uFFFD")},
    };
    for (const Row& r : rows) {
        const QString name = platform::name_from_bytes(r.bytes);
        EXPECT_EQ(platform::name_to_bytes(name), r.bytes) << r.what;
        EXPECT_EQ(platform::readable_name(name), r.readable) << r.what;
    }
}

} // namespace
