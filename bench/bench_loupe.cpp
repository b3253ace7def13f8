// The loupe on a 24-megapixel picture in a 1280 x 1024 view, at factors 20 and 1/16: the time
// of one drawing and how much memory it takes, each against a plain copy of the same source
// rectangle measured in the same run (and against a plain copy of a view-sized rectangle,
// what showing the picture at its own size costs).
#include "display/loupe.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/picture_box.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kPhotoW = 6000, kPhotoH = 4000, kViewW = 1280, kViewH = 1024, kRuns = 15;

QImage photo() {
    QImage image(kPhotoW, kPhotoH, QImage::Format_RGB32);
    for (int y = 0; y < kPhotoH; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kPhotoW; ++x)
            line[x] = qRgb(x * 255 / kPhotoW, y * 255 / kPhotoH, (x ^ y) & 0xFF);
    }
    return image;
}

// Peak resident memory in KB since the last reset (Linux; 0 where it cannot be read).
long peak_kb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}
long resident_kb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}
void reset_peak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

struct Cost {
    double ms; // median of kRuns
    double mb; // growth of the peak resident memory over the first run
};

Cost measure(const std::function<void()>& work) {
    reset_peak();
    const long before = resident_kb();
    work();
    const double mb = std::max(0L, peak_kb() - before) / 1024.0;
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[kRuns / 2], mb};
}

class ViewForm : public tk::Form {
  public:
    ViewForm() : tk::Form(QStringLiteral("bench")) {
        design(tk::to_twips_x(kViewW), tk::to_twips_y(kViewH));
        pic.move(0, 0, tk::to_twips_x(kViewW), tk::to_twips_y(kViewH));
        pic.setBackColor(Qt::black);
    }
    tk::PictureBox pic{*this, "pic"};
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tk::init_application(app);
    const QImage picture = photo();
    ViewForm form;
    tk::PictureBox& pic = form.pic;
    QImage copied;
    const Cost view_copy = measure([&] { copied = picture.copy(2000, 1500, kViewW, kViewH); });
    copied = QImage();
    std::printf("picture %dx%d, view %dx%d; a plain copy of a view-sized rectangle: %.2f ms\n",
                kPhotoW, kPhotoH, kViewW, kViewH, view_copy.ms);
    // Zoom index and centre as the loupe holds them (in pixels scaled by the factor).
    const std::pair<std::uint8_t, double> cases[] = {{15, 20.0}, {6, 1.0 / 16}};
    for (const auto& [index, factor] : cases) {
        const std::int32_t cx = std::int32_t(kPhotoW / 2 * factor);
        const std::int32_t cy = std::int32_t(kPhotoH / 2 * factor);
        const double f = zoom_rate(index);
        const LoupeView v = loupe_view(kViewW, kViewH, kPhotoW, kPhotoH, f, f, cx, cy);
        const Cost draw = measure([&] {
            pic.Cls();
            pic.PaintPicture(picture, v.dx, v.dy, v.dw, v.dh, v.sx, v.sy, v.sw, v.sh);
        });
        const Cost copy = measure([&] { copied = picture.copy(v.sx, v.sy, v.sw, v.sh); });
        copied = QImage();
        std::printf("factor %-5s source %dx%d -> %dx%d\n", factor > 1 ? "20" : "1/16", v.sw, v.sh,
                    v.dw, v.dh);
        std::printf("  draw_picture %7.2f ms, %6.1f MB  (%.2f x the time of a plain copy of the "
                    "same rectangle, %.3f ms, %.1f MB; %.2f x a view-sized copy)\n",
                    draw.ms, draw.mb, draw.ms / copy.ms, copy.ms, copy.mb, draw.ms / view_copy.ms);
    }
    return 0;
}
