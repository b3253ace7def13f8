#include "toolkit/label.h"

#include "platform/file_names.h"
#include "toolkit/events.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace tk {

namespace {
class LabelWidget : public QLabel {
  public:
    explicit LabelWidget(Label& l) : label_(l) {}
    bool elide_start = false;

  protected:
    void paintEvent(QPaintEvent* e) override {
        if (!elide_start) return QLabel::paintEvent(e);
        QPainter p(this);
        const QRect r = contentsRect();
        style()->drawItemText(&p, r, alignment(), palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideLeft, r.width()),
                              foregroundRole());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLabel::mouseReleaseEvent(e);
        if (is_click(e, this) && label_.onClick) dispatch(label_.onClick);
    }

  private:
    Label& label_;
};
} // namespace

Label::Label(Container& parent, QString name, const QString& caption)
    : Control(parent, std::move(name)) {
    auto* w = new LabelWidget(*this);
    w->setWordWrap(true);
    w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    w->setTextFormat(Qt::PlainText);
    attach(w);
    setCaption(caption);
}

void Label::setCaption(const QString& text) {
    caption_ = text;
    // A file name keeps bytes of other encodings for opening; the person sees them read.
    static_cast<QLabel*>(widget())->setText(platform::readable_name(text));
    setAccessibleDetail(text);
}

void Label::setBackColor(const QColor& c) {
    QPalette p = widget()->palette();
    p.setColor(QPalette::Window, c);
    widget()->setPalette(p);
    widget()->setAutoFillBackground(true);
}

void Label::setForeColor(const QColor& c) {
    QPalette p = widget()->palette();
    p.setColor(QPalette::WindowText, c);
    widget()->setPalette(p);
}

void Label::setFont(const QFont& f) {
    widget()->setFont(f);
}

void Label::setElideStart(bool on) {
    auto* w = static_cast<LabelWidget*>(widget());
    w->elide_start = on;
    w->setWordWrap(!on);
    w->update();
}

void Label::setTransparent(bool on) {
    widget()->setAutoFillBackground(!on);
}

} // namespace tk
