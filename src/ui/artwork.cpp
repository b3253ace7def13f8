#include "ui/artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

QImage canvas(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A framed landscape: the picture-viewer emblem.
QImage picture_emblem(QColor sky) {
    QImage img = canvas(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(2.5, 4.5, 27, 23), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 60));
    p.drawEllipse(QPointF(22, 11), 3.5, 3.5);
    QPainterPath hills;
    hills.moveTo(3, 26);
    hills.lineTo(11, 14);
    hills.lineTo(17, 21);
    hills.lineTo(21, 17);
    hills.lineTo(29, 26);
    hills.closeSubpath();
    p.setBrush(QColor(40, 140, 60));
    p.drawPath(hills);
    return img;
}

void draw_loupe(QPainter& p, QPointF centre, double radius, QColor glass) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 20), radius * 0.45, Qt::SolidLine, Qt::RoundCap));
    const QPointF handle_from = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(handle_from, handle_from + QPointF(radius * 0.9, radius * 0.9));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(glass);
    p.drawEllipse(centre, radius, radius);
}

} // namespace

QIcon program_icon() {
    return QIcon(QPixmap::fromImage(picture_emblem(QColor(120, 190, 255))));
}

QIcon search_icon() {
    // A folder with a loupe over it, drawn four times as large and reduced for smooth edges.
    QImage big = canvas(128, 128);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back_gradient(0, 20, 0, 110);
    back_gradient.setColorAt(0, QColor(246, 196, 72));
    back_gradient.setColorAt(1, QColor(214, 150, 30));
    p.setPen(QPen(QColor(140, 90, 10), 4));
    p.setBrush(back_gradient);
    QPainterPath back;
    back.moveTo(8, 28);
    back.lineTo(46, 28);
    back.lineTo(54, 38);
    back.lineTo(112, 38);
    back.lineTo(112, 108);
    back.lineTo(8, 108);
    back.closeSubpath();
    p.drawPath(back);
    QLinearGradient front_gradient(0, 48, 0, 110);
    front_gradient.setColorAt(0, QColor(255, 226, 120));
    front_gradient.setColorAt(1, QColor(240, 180, 50));
    p.setBrush(front_gradient);
    p.drawRoundedRect(QRectF(8, 50, 104, 58), 6, 6);
    p.end();
    QImage img = big.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter q(&img);
    draw_loupe(q, QPointF(19, 15), 7, QColor(215, 240, 255, 190));
    return QIcon(QPixmap::fromImage(img));
}

QCursor loupe_cursor() {
    // A glass with a plus sign and a handle to the lower right, each stroke drawn dark over a
    // wider white one so that the cursor shows on dark and light pictures alike.
    QImage img = canvas(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(12.5, 12.5);
    const auto stroke = [&](const QColor& colour, double width, auto&& draw) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        draw();
    };
    const auto handle = [&] { p.drawLine(QPointF(19.5, 19.5), QPointF(28.5, 28.5)); };
    const auto ring = [&] { p.drawEllipse(centre, 8.5, 8.5); };
    const auto plus = [&] {
        p.drawLine(centre - QPointF(4, 0), centre + QPointF(4, 0));
        p.drawLine(centre - QPointF(0, 4), centre + QPointF(0, 4));
    };
    p.setBrush(QColor(200, 230, 255, 110));
    stroke(Qt::white, 7, handle);
    stroke(Qt::white, 4.5, ring);
    p.setBrush(Qt::NoBrush);
    stroke(QColor(70, 45, 20), 4, handle);
    stroke(Qt::black, 2, ring);
    stroke(Qt::white, 3.5, plus);
    stroke(Qt::black, 1.5, plus);
    p.end();
    // The hot spot is the middle of the glass: that is the point that is magnified.
    return QCursor(QPixmap::fromImage(img), 12, 12);
}

namespace {

// One of the small pictures on the film strip: a landscape by number.
void draw_frame_picture(QPainter& p, const QRect& r, int n) {
    static const QColor skies[] = {{120, 190, 255}, {255, 170, 90},  {60, 70, 150},
                                   {150, 220, 255}, {255, 200, 220}, {100, 160, 230}};
    static const QColor lands[] = {{60, 160, 70},  {230, 200, 120}, {40, 90, 60},
                                   {30, 110, 200}, {120, 180, 80},  {200, 200, 210}};
    const QColor sky = skies[n % 6];
    const QColor land = lands[(n * 5 + 1) % 6];
    p.fillRect(r, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(n % 3 == 2 ? QColor(250, 250, 220) : QColor(255, 220, 60)); // moon or sun
    p.drawEllipse(QPointF(r.left() + 3 + (n * 7) % 8, r.top() + 3.5), 2, 2);
    p.setBrush(land);
    QPainterPath hills;
    hills.moveTo(r.left(), r.bottom() + 1);
    hills.lineTo(r.left(), r.top() + 8 + n % 3);
    hills.lineTo(r.left() + 4 + n % 4, r.top() + 5 + (n * 3) % 4);
    hills.lineTo(r.left() + 9, r.top() + 9);
    hills.lineTo(r.right() + 1, r.top() + 6 + n % 2);
    hills.lineTo(r.right() + 1, r.bottom() + 1);
    hills.closeSubpath();
    p.drawPath(hills);
}

} // namespace

QImage search_strip() {
    // A film strip of small pictures running past. The window moves 8 pixels a step and
    // comes back to the start after 272, a whole number of 16-pixel frames, so the film
    // runs on without a jump.
    constexpr int kPitch = 16, kLoop = 272;
    QImage img(300, 20, QImage::Format_RGB32);
    img.fill(QColor(36, 34, 40));
    QPainter p(&img);
    for (int x = 0; x < 300; x += kPitch) {
        const int n = (x % kLoop) / kPitch;
        // Sprocket holes above and below, then the picture between them.
        for (int y : {1, 17})
            p.fillRect(QRect(x + 5, y, 5, 2), QColor(235, 232, 220));
        draw_frame_picture(p, QRect(x + 2, 4, kPitch - 3, 12), n);
    }
    return img;
}

QImage search_mascot() {
    // A loupe with a face, standing on its handle: it welcomes the user to the search.
    QImage big = canvas(84, 128);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 70, 20), 12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(42, 70), QPointF(42, 112));  // handle
    p.drawLine(QPointF(28, 120), QPointF(56, 120)); // foot
    p.setPen(QPen(QColor(50, 50, 60), 7));
    QRadialGradient glass(QPointF(34, 30), 40);
    glass.setColorAt(0, QColor(250, 254, 255));
    glass.setColorAt(1, QColor(170, 215, 245));
    p.setBrush(glass);
    p.drawEllipse(QPointF(42, 38), 34, 34);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 40)); // eyes
    p.drawEllipse(QPointF(31, 34), 5, 7);
    p.drawEllipse(QPointF(53, 34), 5, 7);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(33, 31), 2, 2);
    p.drawEllipse(QPointF(55, 31), 2, 2);
    p.setBrush(QColor(255, 150, 160, 200)); // cheeks
    p.drawEllipse(QPointF(22, 46), 5, 3);
    p.drawEllipse(QPointF(62, 46), 5, 3);
    p.setPen(QPen(QColor(30, 30, 40), 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(33, 38, 18, 14), 200 * 16, 140 * 16); // smile
    p.setPen(QPen(QColor(255, 255, 255, 220), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(16, 12, 52, 52), 100 * 16, 50 * 16); // the glass shines
    p.end();
    return big.scaled(21, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage version_picture() {
    // A pale sky over the description and a dusk landscape under the white credit and version
    // lines; the framed-picture emblem sits where the "Thank You" tip is.
    QImage img(232, 129, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 72);
    sky.setColorAt(0, QColor(255, 250, 236));
    sky.setColorAt(1, QColor(196, 224, 250));
    p.fillRect(img.rect(), sky);

    QPainterPath far_hills;
    far_hills.moveTo(0, 74);
    far_hills.cubicTo(50, 58, 90, 70, 130, 64);
    far_hills.cubicTo(170, 58, 205, 62, 232, 70);
    far_hills.lineTo(232, 129);
    far_hills.lineTo(0, 129);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(92, 120, 170));
    p.drawPath(far_hills);

    QPainterPath near_hills;
    near_hills.moveTo(0, 80);
    near_hills.cubicTo(60, 68, 120, 84, 170, 74);
    near_hills.cubicTo(200, 68, 220, 70, 232, 74);
    near_hills.lineTo(232, 129);
    near_hills.lineTo(0, 129);
    QLinearGradient ground(0, 70, 0, 129);
    ground.setColorAt(0, QColor(38, 62, 112));
    ground.setColorAt(1, QColor(16, 24, 56));
    p.setBrush(ground);
    p.drawPath(near_hills);

    // A few stars in the dusk.
    p.setBrush(QColor(255, 244, 200));
    for (QPointF star : {QPointF(150, 112), QPointF(168, 101), QPointF(140, 100), QPointF(176, 119),
                         QPointF(22, 123)})
        p.drawEllipse(star, 0.9, 0.9);

    p.translate(191, 92);
    p.scale(1.0, 0.9);
    p.drawImage(0, 0, picture_emblem(QColor(255, 214, 150)));
    return img;
}

} // namespace artwork
