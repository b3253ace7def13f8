#include "support/platform_env.h"
#include "toolkit/form.h"
#include "toolkit/picture_box.h"
#include "toolkit/units.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

class BoxForm : public tk::Form {
  public:
    explicit BoxForm(int w, int h) : tk::Form(QStringLiteral("box_form")) {
        design(tk::to_twips_x(w), tk::to_twips_y(h));
        box.move(0, 0, tk::to_twips_x(w), tk::to_twips_y(h));
        box.setBackColor(Qt::black);
    }
    tk::PictureBox box{*this, "box"};
};

} // namespace

TEST(PictureBox, PaintPictureTouchesOnlyItsRectangle) {
    // The picture's size, where it goes, its pixel format.
    const std::tuple<QSize, QRect, QImage::Format> rows[] = {
        {{100, 50}, {10, 20, 300, 150}, QImage::Format_RGB32},     // enlarged
        {{3000, 1500}, {7, 11, 293, 147}, QImage::Format_RGB32},   // reduced tenfold
        {{3000, 1500}, {0, 0, 400, 200}, QImage::Format_Indexed8}, // other pixel formats
        {{3000, 1500}, {50, 50, 100, 49}, QImage::Format_ARGB32},
        {{1000, 1000}, {399, 199, 1, 1}, QImage::Format_RGB32}, // one pixel
        {{401, 201}, {0, 0, 400, 200}, QImage::Format_RGB888},
    };
    const QColor teal(0, 128, 128);
    for (const auto& [size, dest, format] : rows) {
        BoxForm form(400, 200);
        QImage source(size, QImage::Format_RGB32);
        source.fill(teal);
        form.box.PaintPicture(source.convertToFormat(format), dest.x(), dest.y(), dest.width(),
                              dest.height(), 0, 0, size.width(), size.height());
        const auto wrong = [rect = dest, teal](QPoint p, QColor c) {
            return c != (rect.contains(p) ? teal : Qt::black);
        };
        EXPECT_EQ(test_env::count_pixels(form.box.image(), wrong), 0)
            << size.width() << "x" << size.height() << " " << format;
    }
    // A source rectangle beyond the picture draws what there is.
    BoxForm form(200, 100);
    QImage white(1000, 500, QImage::Format_RGB32);
    white.fill(Qt::white);
    for (QRect src : {QRect(600, 300, 1000, 500), {-500, -200, 1000, 500}, {0, 0, 5000, 2500}})
        form.box.PaintPicture(white, 0, 0, 200, 100, src.x(), src.y(), src.width(), src.height());
    EXPECT_EQ(form.box.image().size(), QSize(200, 100));
}

TEST(PictureBox, StrongReductionAveragesFineDetail) {
    // A white column in every three: a clean reduction by 4.7 is an even grey near 85, where
    // point sampling would give bold bands.
    QImage stripes(1880, 940, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, x % 3 == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_Indexed8}) {
        BoxForm form(400, 200);
        form.box.PaintPicture(stripes.convertToFormat(format), 0, 0, 400, 200, 0, 0, 1880, 940);
        int lo = 255, hi = 0;
        for (int x = 0; x < 400; ++x) {
            lo = std::min(lo, qGray(form.box.image().pixel(x, 100)));
            hi = std::max(hi, qGray(form.box.image().pixel(x, 100)));
        }
        EXPECT_GE(lo, 40) << format;
        EXPECT_LE(hi, 140) << format;
    }
}
