// The wallpaper folder: the system's answer cut at its NUL and ending in one separator, and
// the folder that takes the file when the first refuses it.
#include "app/module2.h"
#include "export/export.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>

using namespace Module2;

namespace {

TEST(Export, WindowsDirFromTheSystemsAnswer) {
    const QString sep = QDir::separator(), nul = QString(QChar(0));
    app_path = "app" + sep;
    struct Row {
        const char* name{};
        int answer{};
        QString buffer{}, expected{};
    } rows[] = {
        {.name = "folder",
         .answer = 10,
         .buffer = "C:" + sep + "WIN",
         .expected = "C:" + sep + "WIN" + sep},
        {.name = "drive root", .answer = 3, .buffer = "C:" + sep, .expected = "C:" + sep},
        {.name = "NUL and padding",
         .answer = 6,
         .buffer = "C:" + sep + "W" + nul + "x" + nul,
         .expected = "C:" + sep + "W" + sep},
        {.name = "no answer", .answer = 0, .buffer = "C:" + sep, .expected = app_path},
    };
    for (const Row& r : rows)
        EXPECT_EQ(windows_dir_from(r.answer, r.buffer), r.expected) << r.name;
    EXPECT_EQ(cut_at_null("abc"), "abc");
    EXPECT_EQ(cut_at_null(nul + "abc"), "");
    app_path.clear();
}

TEST(Export, WallpaperFileGoesToTheFirstFolderThatTakesIt) {
    test_env::TempTree tree;
    // A folder below a plain file can be made by nobody, not even an administrator.
    const QString closed = tree.file("plain") + "/sub", first = tree.path() + "/windows",
                  spare = tree.path() + "/data/PIKUTA";
    const QImage picture = test_env::filled(5, 3, Qt::red);
    struct Row {
        const char* name{};
        QStringList folders{};
        QString expected{}; // the folder written, empty for none
    } rows[] = {
        {.name = "first folder", .folders = {first, spare}, .expected = first},
        {.name = "first refuses", .folders = {closed, spare}, .expected = spare},
        {.name = "no spare folder", .folders = {closed, ""}, .expected = ""},
    };
    for (const Row& r : rows) {
        for (const QString& folder : {first, spare})
            QFile::remove(folder + "/pk_w_pap.bmp");
        const QString written = write_wallpaper_file(picture, r.folders);
        EXPECT_EQ(written, r.expected.isEmpty() ? "" : r.expected + "/pk_w_pap.bmp") << r.name;
        if (!written.isEmpty()) {
            EXPECT_EQ(QImage(written).convertToFormat(QImage::Format_RGB32), picture) << r.name;
        }
    }
}

} // namespace
