#include "toolkit/picture_box.h"

#include "toolkit/events.h"
#include "toolkit/form.h"
#include "toolkit/units.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

namespace tk {

namespace {

// One level of a box reduction of the part `r` of an RGB32 picture: each pixel is the
// average of a 2 x 2 block.
QImage halve(const QImage& in, const QRect& r) {
    QImage out(r.width() / 2, r.height() / 2, QImage::Format_RGB32);
    const auto row = [&](int y) {
        return reinterpret_cast<const quint32*>(in.constScanLine(r.y() + y)) + r.x();
    };
    for (int y = 0; y < out.height(); ++y) {
        const quint32* a = row(2 * y);
        const quint32* b = row(2 * y + 1);
        auto* o = reinterpret_cast<quint32*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x, a += 2, b += 2) {
            // Red and blue, then green, summed side by side in one word each.
            const quint32 rb =
                (a[0] & 0xFF00FF) + (a[1] & 0xFF00FF) + (b[0] & 0xFF00FF) + (b[1] & 0xFF00FF);
            const quint32 g = (a[0] & 0xFF00) + (a[1] & 0xFF00) + (b[0] & 0xFF00) + (b[1] & 0xFF00);
            o[x] = 0xFF000000 | (((rb + 0x20002) >> 2) & 0xFF00FF) | (((g + 0x200) >> 2) & 0xFF00);
        }
    }
    return out;
}

// Smooth scaling reads four source pixels per destination pixel, so a strong reduction
// shows fine detail as moiré. Halving by box averaging first, until less than twice the
// destination size is left, keeps it clean at a fraction of the cost of a full area average.
QImage reduced(const QImage& source, QRect& src, const QSize& dest) {
    if (src.width() < 2 * dest.width() || src.height() < 2 * dest.height() ||
        !source.rect().contains(src))
        return source;
    QImage out = source.format() == QImage::Format_RGB32
                     ? halve(source, src)
                     : halve(source.copy(src).convertToFormat(QImage::Format_RGB32),
                             QRect(QPoint(0, 0), src.size()));
    while (out.width() >= 2 * dest.width() && out.height() >= 2 * dest.height())
        out = halve(out, out.rect());
    src = out.rect();
    return out;
}

} // namespace

class PictureWidget : public QWidget {
  public:
    explicit PictureWidget(PictureBox& box) : box_(box) { setAttribute(Qt::WA_OpaquePaintEvent); }

  protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        p.drawImage(e->rect(), box_.canvas_, e->rect());
    }

  private:
    PictureBox& box_;
};

PictureBox::PictureBox(Container& parent, QString name) : Control(parent, std::move(name)) {
    attach(new PictureWidget(*this));
    QFont f = widget()->font();
    widget()->setFont(f);
}

double PictureBox::scaleWidth() const {
    return pixelRect().width();
}
double PictureBox::scaleHeight() const {
    return pixelRect().height();
}

void PictureBox::apply_geometry() {
    Control::apply_geometry();
    resize_canvas();
}

void PictureBox::resize_canvas() {
    const QSize size = pixelRect().size();
    if (canvas_.size() == size) return;
    // What was drawn stays where it was; new area shows the background colour.
    QImage next(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    next.fill(back_color_);
    if (!canvas_.isNull()) {
        QPainter p(&next);
        p.drawImage(0, 0, canvas_);
    }
    canvas_ = std::move(next);
    if (widget()) widget()->update();
}

void PictureBox::setPicture(const QImage& image) {
    picture_ = image;
    if (auto_size_ && !image.isNull()) {
        // The box is exactly the picture: share its pixels instead of copying a large photo.
        canvas_ = picture_;
        move(left(), top(), to_twips_x(image.width()), to_twips_y(image.height()));
    } else {
        paintable().fill(back_color_);
        if (!picture_.isNull()) {
            QPainter p(&paintable());
            p.drawImage(0, 0, picture_);
        }
    }
    if (widget()) widget()->update();
}

QImage& PictureBox::paintable() {
    const auto f = canvas_.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32_Premultiplied)
        canvas_.convertTo(QImage::Format_RGB32);
    return canvas_;
}

void PictureBox::setAutoSize(bool on) {
    auto_size_ = on;
}

void PictureBox::setBackColor(const QColor& c) {
    back_color_ = c;
    Cls();
}

void PictureBox::setForeColor(const QColor& c) {
    fore_color_ = c;
}

QFont PictureBox::font() const {
    return widget()->font();
}
void PictureBox::setFont(const QFont& f) {
    widget()->setFont(f);
}

void PictureBox::Cls() {
    paintable().fill(back_color_);
    text_pos_ = QPoint(0, 0);
    if (widget()) widget()->update();
}

void PictureBox::PaintPicture(const QImage& source, int dx, int dy, int dw, int dh, int sx, int sy,
                              int sw, int sh) {
    if (source.isNull() || canvas_.isNull() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    QRect src(sx, sy, sw, sh);
    const QImage from = reduced(source, src, QSize(dw, dh));
    QPainter p(&paintable());
    p.setRenderHint(QPainter::SmoothPixmapTransform, src.size() != QSize(dw, dh));
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRect(dx, dy, dw, dh), from, src);
    if (widget()) widget()->update(QRect(dx, dy, dw, dh));
}

void PictureBox::Print(const QString& text) {
    if (canvas_.isNull()) return;
    QPainter p(&paintable());
    p.setFont(font());
    p.setPen(fore_color_);
    const QFontMetrics fm(font());
    p.drawText(text_pos_.x(), text_pos_.y() + fm.ascent(), text);
    const QRect touched(text_pos_.x(), text_pos_.y(), fm.horizontalAdvance(text), fm.height());
    text_pos_ = QPoint(0, text_pos_.y() + fm.height());
    if (widget()) widget()->update(touched);
}

void PictureBox::setAlign(int a) {
    align_ = a;
    if (a != AlignNone) container().form().register_docked(this);
    follow_container();
}

void PictureBox::follow_container() {
    if (align_ != AlignLeft) return;
    const QWidget* c = container().client_widget();
    const QRect r = pixelRect();
    if (r.x() == 0 && r.y() == 0 && r.height() == c->height()) return;
    move(0, 0, width(), to_twips_y(c->height()));
}

void PictureBox::setMousePointer(int p) {
    mouse_pointer_ = p;
    widget()->setCursor(p == 99 ? mouse_icon_ : QCursor(Qt::ArrowCursor));
}

void PictureBox::setMouseIcon(const QCursor& cursor) {
    mouse_icon_ = cursor;
    if (mouse_pointer_ == 99) widget()->setCursor(cursor);
}

// ---- ImageControl

namespace {
class ImageWidget : public QWidget {
  public:
    explicit ImageWidget(ImageControl& c) : control_(c) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, control_.picture());
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        if (control_.onClick) dispatch(control_.onClick);
    }

  private:
    ImageControl& control_;
};

class LineWidget : public QWidget {
  public:
    LineWidget(QPoint a, QPoint b) : a_(a), b_(b) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(a_, b_);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(a_ + QPoint(0, 1), b_ + QPoint(0, 1));
    }

  private:
    QPoint a_, b_;
};
} // namespace

ImageControl::ImageControl(Container& parent, QString name) : Control(parent, std::move(name)) {
    attach(new ImageWidget(*this));
}

void ImageControl::setPicture(const QImage& image) {
    picture_ = image;
    widget()->update();
}

Line::Line(Container& parent, QString name, double x1, double y1, double x2, double y2)
    : Control(parent, std::move(name)) {
    const int px1 = to_px_x(x1), py1 = to_px_y(y1), px2 = to_px_x(x2), py2 = to_px_y(y2);
    const QPoint origin(std::min(px1, px2), std::min(py1, py2));
    attach(new LineWidget(QPoint(px1, py1) - origin, QPoint(px2, py2) - origin));
    move(to_twips_x(origin.x()), to_twips_y(origin.y()), to_twips_x(std::abs(px2 - px1) + 1),
         to_twips_y(std::abs(py2 - py1) + 2));
}

} // namespace tk
