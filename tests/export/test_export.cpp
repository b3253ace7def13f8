// The wallpaper folder and file: the system's answer, its separator, and where the file goes
// when the first folder refuses it.
#include "app/module2.h"
#include "export/export.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>

using namespace Module2;

namespace {

TEST(Export, CutAtNull) {
    struct Row {
        const char* name{};
        QString text{}, expected{};
    } rows[] = {
        {.name = "no NUL", .text = "C:\\WINDOWS", .expected = "C:\\WINDOWS"},
        {.name = "NUL then padding",
         .text = QString("C:\\WIN") + QChar(0) + "   ",
         .expected = "C:\\WIN"},
        {.name = "first of two", .text = QString("a") + QChar(0) + "b" + QChar(0), .expected = "a"},
        {.name = "NUL first", .text = QString(QChar(0)) + "abc", .expected = ""},
        {.name = "empty", .text = "", .expected = ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(cut_at_null(r.text), r.expected) << r.name;
}

TEST(Export, WindowsDirEndsInOneSeparator) {
    const QString sep = QDir::separator();
    app_path = "app" + sep;
    struct Row {
        const char* name{};
        int answer{};
        QString buffer{}, expected{};
    } rows[] = {
        {.name = "folder",
         .answer = 10,
         .buffer = "C:" + sep + "WINDOWS",
         .expected = "C:" + sep + "WINDOWS" + sep},
        {.name = "drive root", .answer = 3, .buffer = "C:" + sep, .expected = "C:" + sep},
        {.name = "cut at NUL",
         .answer = 6,
         .buffer = "C:" + sep + "WIN" + QChar(0) + "  ",
         .expected = "C:" + sep + "WIN" + sep},
        {.name = "no answer", .answer = 0, .buffer = "C:" + sep + "X", .expected = app_path},
        {.name = "failure", .answer = -1, .buffer = "", .expected = app_path},
    };
    for (const Row& r : rows)
        EXPECT_EQ(windows_dir_from(r.answer, r.buffer), r.expected) << r.name;
    app_path.clear();
}

TEST(Export, WallpaperFileGoesToTheFirstFolderThatTakesIt) {
    test_env::TempTree tree;
    // A folder below a plain file can be made by nobody, not even an administrator.
    const QString closed = tree.file("plain") + "/sub";
    const QString first = tree.path() + "/windows", spare = tree.path() + "/data/PIKUTA";
    const QImage picture = test_env::filled(5, 3, Qt::red);
    struct Row {
        const char* name{};
        QStringList folders{};
        QString expected{}; // the folder written, empty for none
    } rows[] = {
        {.name = "first folder", .folders = {first, spare}, .expected = first},
        {.name = "first refuses", .folders = {closed, spare}, .expected = spare},
        {.name = "no spare folder", .folders = {closed, ""}, .expected = ""},
        {.name = "both refuse", .folders = {closed, closed}, .expected = ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QFile::remove(first + "/pk_w_pap.bmp");
        QFile::remove(spare + "/pk_w_pap.bmp");
        const QString written = write_wallpaper_file(picture, r.folders);
        if (r.expected.isEmpty()) {
            EXPECT_EQ(written, QString());
            continue;
        }
        EXPECT_EQ(written, QDir(r.expected).filePath("pk_w_pap.bmp"));
        EXPECT_EQ(QImage(written).convertToFormat(QImage::Format_RGB32), picture);
    }
}

} // namespace
