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
    QImage img = picture_emblem(QColor(200, 230, 255));
    QPainter p(&img);
    draw_loupe(p, QPointF(12, 12), 7, QColor(255, 255, 255, 160));
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

QImage search_strip() {
    // A loupe sweeping across a row of folders, 8 pixels per step.
    QImage img(300, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int x = 4; x < 300; x += 24) {
        p.setPen(QColor(150, 110, 20));
        p.setBrush(QColor(250, 210, 90));
        p.drawRect(QRectF(x + 0.5, 7.5, 16, 10));
        p.drawRect(QRectF(x + 0.5, 5.5, 7, 3));
    }
    for (int x = 16; x < 300; x += 32) {
        QPainter::RenderHints keep = p.renderHints();
        draw_loupe(p, QPointF(x, 8), 5, QColor(255, 255, 255, 170));
        p.setRenderHints(keep);
    }
    return img;
}

QImage search_mascot() {
    QImage img(21, 32, QImage::Format_RGB32);
    img.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&img);
    draw_loupe(p, QPointF(9, 10), 6.5, QColor(255, 255, 255, 200));
    return img;
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
