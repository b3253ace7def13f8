#include "ui/kensaku_set_design.h"

#include "toolkit/design.h"
#include "ui/access_texts.h"
#include "ui/artwork.h"

KensakuSetDesign::KensakuSetDesign() : tk::Form(QStringLiteral("kensaku_set")) {
    setCaption(QStringLiteral("検索"));
    setIcon(artwork::search_icon());
    setBorderStyle(tk::FixedDialog);
    design(3135, 975);

    tk::apply_design(
        *this,
        {
            {.control = &Picture1, .width = 15, .height = 975, .tab = 15, .visible = false},
            {.control = &Frame3, .width = 3135, .height = 975, .tab = 4},
            {.control = &pic,
             .left = 780,
             .top = 600,
             .width = 480,
             .height = 300,
             .tab = 10,
             .back = Qt::white,
             .visible = false},
            {.control = &Command7,
             .left = 120,
             .top = 600,
             .width = 615,
             .height = 300,
             .tab = 5,
             .caption = QStringLiteral("検索")},
            {.control = &Command2,
             .left = 1680,
             .top = 600,
             .width = 615,
             .height = 300,
             .tab = 9,
             .caption = QStringLiteral("閉じる")},
            {.control = &Command3,
             .left = 2400,
             .top = 600,
             .width = 615,
             .height = 300,
             .tab = 7,
             .caption = QStringLiteral("設定")},
            {.control = &Label1,
             .left = 75,
             .top = 240,
             .width = 2910,
             .height = 255,
             .tab = 6,
             .back = Qt::white},
            {.control = &img1,
             .left = 1260,
             .top = 480,
             .width = 315,
             .height = 480,
             .visible = false},
            {.control = &pic2,
             .top = 1920,
             .width = 4500,
             .height = 300,
             .tab = 14,
             .visible = false},
            {.control = &Frame1, .width = 3135, .height = 1815, .tab = 3, .visible = false},
            {.control = &Command5,
             .left = 1680,
             .top = 1440,
             .width = 975,
             .height = 300,
             .tab = 12,
             .caption = QStringLiteral("ｷｬﾝｾﾙ")},
            {.control = &Command4,
             .left = 2355,
             .top = 135,
             .width = 735,
             .height = 255,
             .tab = 11,
             .caption = QStringLiteral("ﾃﾞﾌｫﾙﾄ")},
            {.control = &Command1,
             .left = 480,
             .top = 1440,
             .width = 975,
             .height = 300,
             .tab = 8,
             .caption = QStringLiteral("OK")},
            {.control = &Check3, .left = 120, .top = 720, .width = 2775, .height = 255, .tab = 2},
            {.control = &Check2, .left = 120, .top = 480, .width = 1335, .height = 255, .tab = 1},
            {.control = &Check1, .left = 120, .top = 240, .width = 2175, .height = 255, .tab = 0},
            {.control = &Check4, .left = 120, .top = 1080, .width = 2175, .height = 255, .tab = 13},
        });

    Picture1.setAlign(tk::AlignLeft);
    img1.setPicture(artwork::search_mascot());
    pic2.setAutoSize(true);
    pic2.setPicture(artwork::search_strip());
    access_texts::apply(*this);
}
