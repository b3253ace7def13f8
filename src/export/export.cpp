// Copying the picture on show to the clipboard and making it the desktop wallpaper. Both work
// from the file named by Label7, loaded again at its own size into pic_clp.
#include "export/export.h"

#include "app/forms.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "platform/clipboard.h"
#include "platform/picture_io.h"
#include "platform/wallpaper.h"
#include "toolkit/folder_listing.h"

#include <QDir>
#include <QPainter>
#include <QSaveFile>

using namespace Module2;

namespace {

// Loads the file named by Label7 into pic_clp; false (pic_clp unchanged) when it can't be read.
bool load_clp(MainForm& m) {
    const QImage image = platform::read_picture(m.Label7.caption());
    if (image.isNull()) return false;
    m.pic_clp.setPicture(image);
    return true;
}

// pic_clp's Image as a plain bitmap: a transparent part shows the box's background colour.
QImage clp_bitmap(const MainForm& m) {
    const QImage& image = m.pic_clp.image();
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(m.pic_clp.backColor());
    QPainter(&flat).drawImage(0, 0, image);
    return flat;
}

} // namespace

QString Module2::cut_at_null(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString windows_dir_from(int answer, const QString& buffer) {
    if (answer <= 0) return app_path;
    return tk::with_separator(cut_at_null(buffer));
}

QString Module2::get_windows_dir() {
    QString buffer(255, QLatin1Char(' '));
    const int answer = platform::windows_directory(buffer);
    return windows_dir_from(answer, buffer);
}

QString write_wallpaper_file(const QImage& image, const QStringList& folders) {
    for (const QString& folder : folders) {
        if (folder.isEmpty() || !QDir().mkpath(folder)) continue;
        const QString path = tk::join_path(folder, kWallpaperFile);
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && image.save(&file, "BMP") && file.commit())
            return path;
    }
    return {};
}

void MainForm::Command8_Click() {
    // A picture that can't be read again leaves the clipboard as it was.
    if (!load_clp(*this)) return;
    platform::put_picture_on_clipboard(clp_bitmap(*this));
}

void MainForm::Command9_Click() {
    if (!load_clp(*this)) return;
    // The Windows folder is closed to ordinary users on current systems: the per-user data
    // folder takes the file then.
    const QString file = write_wallpaper_file(
        clp_bitmap(*this), {get_windows_dir(), platform::user_wallpaper_folder()});
    if (file.isEmpty()) return;
    platform::set_wallpaper(file);
}

void MenuForm::crip_Click() {
    main_fm->Command8_Click();
}

void MenuForm::kabegami_Click() {
    main_fm->Command9_Click();
}
