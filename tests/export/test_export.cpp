// The wallpaper folder: the system's answer cut at its NUL and ending in one separator, and
// the folder that takes the file when the first refuses it.
#include "app/module2.h"
#include "export/export.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <tuple>

using namespace Module2;

namespace {

TEST(Export, WindowsDirFromTheSystemsAnswer) {
    const QString sep = QDir::separator(), nul = QString(QChar(0));
    app_path = "app" + sep;
    // The row, the system's answer, its buffer; the folder.
    const std::tuple<const char*, int, QString, QString> cases[] = {
        {"folder", 10, "C:" + sep + "WIN", "C:" + sep + "WIN" + sep},
        {"drive root", 3, "C:" + sep, "C:" + sep},
        {"NUL and padding", 6, "C:" + sep + "W" + nul + "x" + nul, "C:" + sep + "W" + sep},
        {"no answer", 0, "C:" + sep, app_path},
    };
    for (const auto& [name, answer, buffer, expected] : cases)
        EXPECT_EQ(windows_dir_from(answer, buffer), expected) << name;
    EXPECT_EQ(cut_at_null(nul + "abc"), "");
    app_path.clear();
}

TEST(Export, WallpaperFileGoesToTheFirstFolderThatTakesIt) {
    test_env::TempTree tree;
    // A folder below a plain file can be made by nobody, not even an administrator.
    const QString closed = tree.file("plain") + "/sub", first = tree.path() + "/windows",
                  spare = tree.path() + "/data/PIKUTA";
    const QImage picture = test_env::filled(5, 3, Qt::red);
    // The row, the folders tried; the folder written (empty: none).
    const std::tuple<const char*, QStringList, QString> cases[] = {
        {"first takes it", {first, spare}, first},
        {"first refuses", {closed, spare}, spare},
        {"no spare folder", {closed, ""}, ""},
    };
    for (const auto& [name, folders, expected] : cases) {
        for (const QString& folder : {first, spare})
            QFile::remove(folder + "/pk_w_pap.bmp");
        const QString written = write_wallpaper_file(picture, folders);
        EXPECT_EQ(written, expected.isEmpty() ? "" : expected + "/pk_w_pap.bmp") << name;
        if (!written.isEmpty()) {
            EXPECT_EQ(QImage(written).convertToFormat(QImage::Format_RGB32), picture) << name;
        }
    }
}

} // namespace
