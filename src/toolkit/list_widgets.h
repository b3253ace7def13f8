#pragma once
// What the list controls show with: their icons and the Qt list that shows whole rows.
#include <QIcon>
#include <QListWidget>
#include <QSize>
#include <QStyle>

namespace tk {

// The drive and folder icons: small icons at the screen's density, as the text is.
inline const QSize kListIconSize(16, 16);

// A standard icon with a picture of the size the lists show: the desktop's icon theme has
// every size; without one, the style offers 16 pixels only, and the toolkit's own pictures of
// 16, 32 and 128 pixels stand in, so that a dense screen gets a sharp icon, not a small one.
QIcon list_icon(QStyle::StandardPixmap which);

// A list that shows only whole rows: the part of its height that would show a row cut in
// half is left empty, below the last row. It can also keep its rows clear of a strip at its
// right edge, where another control sits over the list.
class WholeRowList : public QListWidget {
  public:
    WholeRowList() {
        // The space kept free shows the list's own background, not the window's.
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
    }
    // Pixels at the right edge of the list, frame included, that the rows stay clear of.
    void keep_clear_right(int pixels) {
        clear_right_ = pixels;
        fit();
    }

  protected:
    // Runs whenever the rows, the room for them or the scroll bars may have changed.
    void updateGeometries() override;

  private:
    void fit();
    int clear_right_ = 0;
    bool fit_queued_ = false;
};

} // namespace tk
