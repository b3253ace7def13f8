#pragma once
// Test support for the platform layer and above: settings and screen-awake stand-ins,
// temporary folders, pictures.
#include "platform/screen_awake.h"
#include "platform/settings_store.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <string>

// Lets test failures show text instead of the bytes of the string object.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace test_env {

// A settings store in memory, shared with the test that installed it.
class MemoryStore : public platform::SettingsStore {
  public:
    std::map<QString, QString> values; // key -> text, all under PIKUTA/Startup
    int flushes = 0;
    QString read(const QString& app, const QString& section, const QString& key) override;
    void write(const QString& app, const QString& section, const QString& key,
               const QString& value) override;
    bool flush() override;
};

// Whether the program holds the screen awake, and how often that changed.
class AwakeRecorder : public platform::ScreenAwake {
  public:
    bool held = false;
    int changes = 0;
    void hold(bool on, const QWidget* window) override;
};
// The recorder fresh_program() installed.
AwakeRecorder& screen_awake();

// A w x h picture of one colour.
QImage filled(int w, int h, QColor colour);

// A w x h picture (up to 1536 x 1536) whose every pixel differs from its neighbours: a wrong
// offset or a smoothed copy shows.
QImage patterned(int w, int h);

// The pixels of `image` for which `which(point, colour)` holds.
int count_pixels(const QImage& image, const std::function<bool(QPoint, QColor)>& which);
inline int count_colour(const QImage& image, QColor colour) {
    return count_pixels(image, [colour](QPoint, QColor c) { return c == colour; });
}

// A w x h picture in quarters: red top left, lime top right, blue bottom left, yellow bottom
// right. Any turn or mirror of it shows.
QImage quarters(int w, int h);

// The colours of those quarters at the given points of a picture, as letters: Red, Lime, Blue,
// Yellow, or ? for another colour (a lossy encoding's small errors allowed).
std::string quarter_letters(const QImage& image, std::initializer_list<QPoint> points);

// The picture in `format` ("jpeg", "bmp", ...); -1: the writer's usual quality.
QByteArray encode(const QImage& image, const char* format, bool progressive = false,
                  int quality = -1);

// The picture encoded as a JPEG whose Exif block names `orientation` (in the byte order
// `big_endian` chooses).
QByteArray jpeg_turned(const QImage& stored, int orientation, bool big_endian = false);

// A JPEG with a block (marker, payload) put right after its start, where cameras put theirs.
QByteArray with_block(const QByteArray& jpeg, int marker, const QByteArray& payload);

// The TIFF structure of an Exif block that names one orientation.
QByteArray exif_tiff(int orientation, bool big_endian = false);

// Where a QTemporaryDir makes thousands of files fast: in memory when the system offers it.
QString memory_place();

// An empty file at `path`, given in the system's bytes (quick enough for tens of thousands).
void touch(const QByteArray& path);

// A temporary folder with the given files (relative paths; folders made as needed).
class TempTree {
  public:
    TempTree();
    ~TempTree();
    QString path() const { return root_; }
    QString file(const QString& relative, const QByteArray& content = "x");
    QString folder(const QString& relative);
    // A w x h bitmap of one colour.
    QString bmp(const QString& relative, QColor colour = Qt::darkGreen, int w = 4, int h = 3);

  private:
    QString root_;
};

} // namespace test_env
