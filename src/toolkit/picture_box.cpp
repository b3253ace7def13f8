#include "toolkit/picture_box.h"
#include "platform/file_names.h"

#include "toolkit/events.h"
#include "toolkit/form.h"
#include "toolkit/units.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <vector>

namespace tk {

namespace {

// Samples per destination pixel, at most, across and down: the rows read cost the most.
constexpr int kSamplesX = 8, kSamplesY = 4;

bool direct_format(QImage::Format f) {
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

// A reduction by two or more: each destination pixel is the average of up to kSamplesX x
// kSamplesY pixels spread evenly over the part of the picture it covers, laid over the
// background where the picture is transparent. Only the sampled pixels are read and nothing
// is allocated beyond two small tables, however large the picture.
void average_into(QImage& canvas, const QRect& dest, const QImage& source, const QRect& from,
                  QRgb back) {
    const QRect target = dest & canvas.rect();
    if (target.isEmpty()) return;
    const double kx = double(from.width()) / dest.width();
    const double ky = double(from.height()) / dest.height();
    const int nx = std::clamp(int(std::ceil(kx)), 1, kSamplesX);
    const int ny = std::clamp(int(std::ceil(ky)), 1, kSamplesY);
    const auto at = [](double v, int size) { return std::clamp(int(v), 0, size - 1); };
    std::vector<int> cols(size_t(target.width()) * nx);
    for (int i = 0; i < target.width(); ++i) {
        const double x0 = from.x() + (target.x() - dest.x() + i) * kx;
        for (int s = 0; s < nx; ++s)
            cols[size_t(i) * nx + s] = at(x0 + (s + 0.5) * kx / nx, source.width());
    }
    const quint32 n = quint32(nx * ny);
    const bool opaque = !source.hasAlphaChannel();
    const quint32 br = qRed(back), bg = qGreen(back), bb = qBlue(back);
    std::vector<const QRgb*> rows(ny);
    for (int j = 0; j < target.height(); ++j) {
        const double y0 = from.y() + (target.y() - dest.y() + j) * ky;
        for (int s = 0; s < ny; ++s)
            rows[s] = reinterpret_cast<const QRgb*>(
                source.constScanLine(at(y0 + (s + 0.5) * ky / ny, source.height())));
        auto* out = reinterpret_cast<QRgb*>(canvas.scanLine(target.y() + j)) + target.x();
        const int* c = cols.data();
        for (int i = 0; i < target.width(); ++i, c += nx) {
            // Red and blue, then alpha and green, summed side by side in one word each.
            quint32 rb = 0, ag = 0;
            for (const QRgb* row : rows)
                for (int t = 0; t < nx; ++t) {
                    const QRgb p = row[c[t]];
                    rb += p & 0xFF00FF;
                    ag += (p >> 8) & 0xFF00FF;
                }
            quint32 r = ((rb >> 16) + n / 2) / n, b = ((rb & 0xFFFF) + n / 2) / n;
            quint32 g = ((ag & 0xFFFF) + n / 2) / n;
            if (!opaque) {
                // Premultiplied: what the picture leaves uncovered shows the background.
                const quint32 rest = 255 - std::min<quint32>(((ag >> 16) + n / 2) / n, 255);
                r = std::min<quint32>(r + (br * rest + 127) / 255, 255);
                g = std::min<quint32>(g + (bg * rest + 127) / 255, 255);
                b = std::min<quint32>(b + (bb * rest + 127) / 255, 255);
            }
            out[i] = 0xFF000000 | (r << 16) | (g << 8) | b;
        }
    }
}

} // namespace

class PictureWidget : public QWidget {
  public:
    explicit PictureWidget(PictureBox& box) : box_(box) { setAttribute(Qt::WA_OpaquePaintEvent); }

  protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        box_.replay(p, e->rect());
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
    // What was drawn stays where it was; new area shows the background colour.
    shown_ = QImage();
}

bool PictureBox::Stroke::covers(const QRect& r) const {
    return !picture.isNull() && !picture.hasAlphaChannel() &&
           QRectF(picture.rect()).contains(from) && dest.contains(QRectF(r));
}

void PictureBox::add(Stroke stroke) {
    shown_ = QImage();
    // A drawing hidden for good by the new one is forgotten: drawing again and again in one
    // place (an animation, a slideshow) keeps only the last.
    std::erase_if(strokes_, [&](const Stroke& s) { return stroke.covers(s.area); });
    const QRect area = stroke.area;
    strokes_.push_back(std::move(stroke));
    // Many drawings that hide none of each other: what they show becomes one picture.
    constexpr size_t kMostStrokes = 64;
    if (strokes_.size() > kMostStrokes) {
        const QImage flat = image();
        strokes_.clear();
        strokes_.emplace_back(flat, flat.rect(), flat.rect(), false, flat.rect());
    }
    changed(area);
}

void PictureBox::changed(const QRect& area) {
    shown_ = QImage();
    if (!widget()) return;
    if (area.isNull())
        widget()->update();
    else
        widget()->update(area);
}

void PictureBox::replay(QPainter& p, const QRect& area) const {
    QRegion background(area);
    for (const Stroke& s : strokes_)
        if (s.covers(s.area)) background -= s.area;
    for (const QRect& r : background)
        p.fillRect(r, back_color_);
    for (const Stroke& s : strokes_) {
        if (!s.area.intersects(area)) continue;
        if (s.picture.isNull()) {
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            p.setFont(s.font);
            p.setPen(s.pen);
            p.drawText(s.baseline, s.text);
            continue;
        }
        if (s.picture.hasAlphaChannel()) {
            p.fillRect(s.dest, back_color_);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        } else {
            p.setCompositionMode(QPainter::CompositionMode_Source);
        }
        p.setRenderHint(QPainter::SmoothPixmapTransform, s.smooth);
        p.drawImage(s.dest, s.picture, s.from);
    }
}

const QImage& PictureBox::image() const {
    const QRect box(QPoint(0, 0), pixelRect().size().expandedTo(QSize(0, 0)));
    // A picture held at the box's size, as a box that sizes itself to its picture holds it.
    if (strokes_.size() == 1 && strokes_[0].picture.rect() == box &&
        strokes_[0].dest == QRectF(box) && strokes_[0].from == QRectF(box))
        return strokes_[0].picture;
    if (shown_.isNull() && !box.isEmpty()) {
        shown_ = QImage(box.size(), QImage::Format_RGB32);
        QPainter p(&shown_);
        replay(p, box);
    }
    return shown_;
}

void PictureBox::setPicture(const QImage& image) {
    // Kept in one of the two layouts that drawing reads directly, so that no drawing has to
    // convert the picture again.
    picture_ =
        image.isNull() || direct_format(image.format())
            ? image
            : image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                            : QImage::Format_RGB32);
    // The box that sizes itself is exactly the picture: it shows the picture's own pixels.
    if (auto_size_ && !image.isNull())
        move(left(), top(), to_twips_x(image.width()), to_twips_y(image.height()));
    strokes_.clear();
    if (picture_.isNull()) return changed({});
    add({picture_, picture_.rect(), picture_.rect(), false, picture_.rect()});
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
    strokes_.clear();
    text_pos_ = QPoint(0, 0);
    changed({});
}

void PictureBox::PaintPicture(const QImage& source, int dx, int dy, int dw, int dh, int sx, int sy,
                              int sw, int sh) {
    const QRect box(QPoint(0, 0), pixelRect().size());
    if (source.isNull() || box.isEmpty() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    const QRect dest(dx, dy, dw, dh), from(sx, sy, sw, sh);
    if (sw >= 2 * dw && sh >= 2 * dh) {
        // Reductions are averaged, so that fine detail does not turn into moiré.
        const QRect target = dest & box;
        if (target.isEmpty()) return;
        QImage averaged(target.size(), QImage::Format_RGB32);
        const QRect at = dest.translated(-target.topLeft());
        if (direct_format(source.format()))
            average_into(averaged, at, source, from, back_color_.rgb());
        else
            average_into(averaged, at,
                         source.convertToFormat(source.hasAlphaChannel()
                                                    ? QImage::Format_ARGB32_Premultiplied
                                                    : QImage::Format_RGB32),
                         from, back_color_.rgb());
        add({averaged, target, averaged.rect(), false, target});
        return;
    }
    // Only the part of the picture that shows is scaled, when painted; from twice the size on,
    // pixels show as sharp squares.
    const bool sharp = dw >= 2 * sw && dh >= 2 * sh;
    add({source, dest, from, !sharp && from.size() != dest.size(), dest & box});
}

void PictureBox::Print(const QString& shown, qsizetype elide_from) {
    const int width = pixelRect().width();
    if (width <= 0 || pixelRect().height() <= 0) return;
    const QString text = platform::readable_name(shown);
    const QFont f = font();
    const QFontMetrics fm(f);
    QString line = text;
    if (elide_from >= 0) {
        const QString head = text.left(elide_from);
        const int room = width - text_pos_.x() - fm.horizontalAdvance(head);
        line = head + fm.elidedText(text.mid(elide_from), Qt::ElideLeft, std::max(room, 0));
    }
    // Some glyphs reach a little beyond their advance.
    const QRect area = QRect(text_pos_.x(), text_pos_.y(), fm.horizontalAdvance(line), fm.height())
                           .adjusted(-2, 0, 2, 0);
    const QPoint baseline(text_pos_.x(), text_pos_.y() + fm.ascent());
    text_pos_ = QPoint(0, text_pos_.y() + fm.height());
    add({line, f, fore_color_, baseline, area});
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
    // A cursor drawn for 96 dpi keeps its size on a denser screen, as the system's own do.
    if (const QPixmap drawn = cursor.pixmap(); !drawn.isNull()) {
        const QSize size = size_at_density(drawn.size());
        if (size != drawn.size()) {
            const QPoint hot = cursor.hotSpot();
            mouse_icon_ =
                QCursor(drawn.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                        to_px_x(hot.x() * kDesignTwipsPerPixel),
                        to_px_y(hot.y() * kDesignTwipsPerPixel));
        }
    }
    if (mouse_pointer_ == 99) widget()->setCursor(mouse_icon_);
}

// ---- ImageControl

namespace {
class ImageWidget : public QWidget {
  public:
    explicit ImageWidget(ImageControl& c) : control_(c) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        // The window's pictures are drawn for 96 dpi; on a denser screen they keep their size
        // in twips, like the controls around them.
        const QImage& picture = control_.picture();
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(QPoint(0, 0), size_at_density(picture.size())), picture);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (is_click(e, this) && control_.onClick) dispatch(control_.onClick);
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
