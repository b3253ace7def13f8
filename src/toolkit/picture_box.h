#pragma once
#include "toolkit/control.h"

#include <QCursor>
#include <QImage>
#include <QPainter>
#include <vector>

namespace tk {

enum Align { AlignNone = 0, AlignTop = 1, AlignBottom = 2, AlignLeft = 3, AlignRight = 4 };

// A picture box in pixel scale. What is drawn into it persists: the box keeps each drawing
// since it was last cleared (a picture shared, not copied, with where it goes) and the widget
// replays them when it paints, so that a picture drawn at its own size reaches the screen with
// one copy and no canvas the size of the box is held.
class PictureBox : public Control {
  public:
    PictureBox(Container& parent, QString name);

    double scaleWidth() const;
    double scaleHeight() const;

    // The picture assigned to the box; with auto-size on, the box takes its size.
    const QImage& picture() const { return picture_; }
    void setPicture(const QImage& image);
    void setAutoSize(bool on);
    // What the box shows: the picture with whatever was drawn over it.
    const QImage& image() const;

    QColor backColor() const { return back_color_; }
    void setBackColor(const QColor& c);
    void setForeColor(const QColor& c);
    QFont font() const;
    void setFont(const QFont& f);

    // Fills the box with its background colour and puts the text position at the top left.
    void Cls();
    // Copies the source rectangle of `source` into the destination rectangle, stretching as
    // needed (a plain source copy). Only the destination rectangle is touched.
    void PaintPicture(const QImage& source, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                      int sh);
    // Prints one line at the text position and moves it to the start of the next line. From
    // index `elide_from` on, a line too long for the box loses the start of the rest instead
    // of its end (a path keeps its file name).
    void Print(const QString& text, qsizetype elide_from = -1);

    void setAlign(int a);
    // 0 the default arrow, 99 the box's own cursor.
    int mousePointer() const { return mouse_pointer_; }
    void setMousePointer(int p);
    void setMouseIcon(const QCursor& cursor);

    // Called by the container when its client area changes size.
    void follow_container();

  protected:
    void apply_geometry() override;
    double scale_per_pixel_x() const override { return 1.0; }
    double scale_per_pixel_y() const override { return 1.0; }

  private:
    friend class PictureWidget;
    // One drawing: a part of a picture into a rectangle of the box, or a line of text.
    struct Stroke {
        Stroke(QImage picture, QRectF dest, QRectF from, bool smooth, QRect area)
            : picture(std::move(picture)), dest(dest), from(from), smooth(smooth), area(area) {}
        Stroke(QString text, QFont font, QColor pen, QPoint baseline, QRect area)
            : text(std::move(text)), font(std::move(font)), pen(pen), baseline(baseline),
              area(area) {}
        QImage picture;
        QRectF dest, from;
        bool smooth = false;
        QString text;
        QFont font;
        QColor pen;
        QPoint baseline;
        QRect area; // what it touches
        // Whether it hides all of `r` for good: an opaque picture filling its rectangle.
        bool covers(const QRect& r) const;
    };
    void add(Stroke stroke);
    // Draws what the box shows within `area`.
    void replay(QPainter& p, const QRect& area) const;
    void changed(const QRect& area);
    QImage picture_;
    std::vector<Stroke> strokes_;
    mutable QImage shown_; // image()'s answer, made when asked for
    QColor back_color_ = Qt::white;
    QColor fore_color_ = Qt::black;
    bool auto_size_ = false;
    int align_ = AlignNone;
    int mouse_pointer_ = 0;
    QCursor mouse_icon_;
    QPoint text_pos_;
};

// An image control: shows a picture, nothing drawn into it.
class ImageControl : public Control {
  public:
    ImageControl(Container& parent, QString name);
    void setPicture(const QImage& image);
    const QImage& picture() const { return picture_; }
    std::function<void()> onClick;

  private:
    QImage picture_;
};

// A straight line between two points of the container, in twips.
class Line : public Control {
  public:
    Line(Container& parent, QString name, double x1, double y1, double x2, double y2);
};

} // namespace tk
