// Decoding a 6000 x 4000 JPEG and fitting it into a 1280 x 1024 picture box, each timed
// against a reference measured in the same run: drawing against a nearest-neighbour copy of
// the same rectangles, decoding against reading the file's bytes. The quality of the fit is
// its closeness to a full area average of the same reduction.
#include "display/layout.h"
#include "platform/picture_io.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/picture_box.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kPhotoW = 6000, kPhotoH = 4000, kBoxW = 1280, kBoxH = 1024, kRuns = 5;

// Fine detail and smooth gradients, so that the JPEG is as heavy as a real photo and a poor
// reduction shows as moiré.
QImage photo()
{
    QImage image(kPhotoW, kPhotoH, QImage::Format_RGB32);
    for (int y = 0; y < kPhotoH; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kPhotoW; ++x) {
            const int ring = int(std::hypot(x - 3000, y - 2000) / 3) % 2 * 60;
            line[x] = qRgb((x * 255 / kPhotoW + ring) % 256, (y * 255 / kPhotoH) % 256,
                           ((x ^ y) & 0xFF) / 2 + ring);
        }
    }
    return image;
}

// Median of kRuns runs, in milliseconds.
double median_ms(const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

double psnr(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += d * d;
        }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

class BoxForm : public tk::Form {
public:
    BoxForm() : tk::Form(QStringLiteral("bench"))
    {
        design(tk::to_twips_x(kBoxW), tk::to_twips_y(kBoxH));
    }
    tk::PictureBox box{*this, "box"};
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tk::init_application(app);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    if (!photo().save(path, "JPEG", 90)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    const double read_ms = median_ms([&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        f.readAll();
    });
    QImage picture;
    const double decode_ms = median_ms([&] { picture = platform::read_picture(path); });
    if (picture.isNull())
        return 1;

    BoxForm form;
    tk::PictureBox& box = form.box;
    box.move(0, 0, tk::to_twips_x(kBoxW), tk::to_twips_y(kBoxH));
    box.setBackColor(Qt::black);
    const PicLayout l = compute_layout(box.scaleWidth(), box.scaleHeight(), picture.width(),
                                       picture.height(), false);
    const double draw_ms = median_ms([&] {
        box.Cls();
        box.PaintPicture(picture, l.dx, l.dy, l.dw, l.dh, l.sx, l.sy, l.sw, l.sh);
    });
    QImage canvas(kBoxW, kBoxH, QImage::Format_RGB32);
    const auto plain = [&](bool smooth) {
        canvas.fill(Qt::black);
        QPainter p(&canvas);
        p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        p.drawImage(QRect(l.dx, l.dy, l.dw, l.dh), picture, QRect(l.sx, l.sy, l.sw, l.sh));
    };
    const double bilinear_ms = median_ms([&] { plain(true); });
    const QImage drawn_bilinear = canvas.copy(l.dx, l.dy, l.dw, l.dh);
    const double nearest_ms = median_ms([&] { plain(false); });

    // Reference quality: every source pixel averaged into the destination pixel it falls in.
    QImage reference;
    const double area_ms = median_ms([&] {
        reference = picture.copy(l.sx, l.sy, l.sw, l.sh)
                        .scaled(l.dw, l.dh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    });
    const QImage drawn_nearest = canvas.copy(l.dx, l.dy, l.dw, l.dh);
    const QImage drawn_box = box.image().copy(l.dx, l.dy, l.dw, l.dh);

    std::printf("photo %dx%d, %lld KB JPEG; box %.0fx%.0f, picture drawn at %d,%d %dx%d\n",
                picture.width(), picture.height(), QFile(path).size() / 1024, box.scaleWidth(),
                box.scaleHeight(), l.dx, l.dy, l.dw, l.dh);
    std::printf("decode        %8.1f ms  (%.1f x reading the file)\n", decode_ms,
                decode_ms / read_ms);
    std::printf("fit (box)     %8.1f ms  (%.1f x nearest neighbour, %.1f ms)\n", draw_ms,
                draw_ms / nearest_ms, nearest_ms);
    std::printf("one bilinear  %8.1f ms  (%.1f x nearest neighbour)\n", bilinear_ms,
                bilinear_ms / nearest_ms);
    std::printf("area average  %8.1f ms  (%.1f x nearest neighbour)\n", area_ms,
                area_ms / nearest_ms);
    std::printf("closeness to the area average (PSNR, higher is cleaner): box %.1f dB, "
                "one bilinear %.1f dB, nearest %.1f dB\n",
                psnr(drawn_box, reference), psnr(drawn_bilinear, reference),
                psnr(drawn_nearest, reference));
    return 0;
}
