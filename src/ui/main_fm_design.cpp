#include "ui/main_fm_design.h"

#include "toolkit/design.h"
#include "ui/access_texts.h"
#include "ui/artwork.h"

namespace {
constexpr double kGap = 60; // between a control and the text beside it
} // namespace

MainFmDesign::MainFmDesign() : tk::Form(QStringLiteral("main_fm")) {
    setCaption(kTitle);
    setBorderStyle(tk::Sizable);
    setKeyPreview(true);
    setIcon(artwork::program_icon());
    setBackColor(QColor(0xC0, 0xC0, 0xC0));
    design(8760, 2895);

    const QColor yellow(255, 255, 192);
    tk::apply_design(
        *this,
        {
            {.control = &Picture1, .width = 15, .height = 2895, .tab = 28, .visible = false},
            {.control = &pic,
             .left = 3000,
             .top = 3120,
             .width = 5655,
             .height = 3495,
             .tab = 26,
             .back = Qt::black,
             .fore = QColor(255, 0, 255)},
            {.control = &pic_clp,
             .left = 8010,
             .top = 210,
             .width = 615,
             .height = 615,
             .tab = 15,
             .back = Qt::black,
             .visible = false},
            {.control = &Dir2,
             .left = 8880,
             .top = 1560,
             .width = 1575,
             .height = 930,
             .tab = 10,
             .visible = false},
            {.control = &File1,
             .left = 8880,
             .top = 240,
             .width = 1575,
             .height = 1170,
             .tab = 9,
             .visible = false},
            {.control = &Frame1,
             .left = 3090,
             .width = 5670,
             .height = 2895,
             .tab = 0,
             .caption = QStringLiteral("再生したいファイルを選択して下さい。（複数可）")},
            {.control = &Frame4, .width = 3015, .height = 2895, .tab = 5},
            {.control = &Frame3, .top = 2880, .width = 8775, .height = 3855, .tab = 16},

            {.control = &pic_moto,
             .left = 4920,
             .top = 870,
             .width = 615,
             .height = 615,
             .tab = 27,
             .back = Qt::black,
             .visible = false},
            {.control = &Command6,
             .left = 3960,
             .top = 1530,
             .width = 1095,
             .height = 255,
             .tab = 8,
             .caption = QStringLiteral("すべて選択")},
            {.control = &Command1,
             .left = 960,
             .top = 2580,
             .width = 855,
             .height = 255,
             .tab = 4,
             .caption = QStringLiteral("BACK")},
            {.control = &Command2,
             .left = 2880,
             .top = 2580,
             .width = 855,
             .height = 255,
             .tab = 3,
             .caption = QStringLiteral("NEXT")},
            {.control = &Command3,
             .left = 1920,
             .top = 2580,
             .width = 855,
             .height = 255,
             .tab = 2,
             .caption = QStringLiteral("PLAY")},
            {.control = &Command4,
             .left = 3840,
             .top = 2580,
             .width = 855,
             .height = 255,
             .tab = 1,
             .caption = QStringLiteral("STOP")},
            {.control = &List1, .left = 120, .top = 210, .width = 5445, .height = 1860, .tab = 11},
            {.control = &Label5,
             .left = 120,
             .top = 2100,
             .width = 5445,
             .height = 435,
             .tab = 14,
             .back = Qt::white},
            {.control = &Label2,
             .left = 120,
             .top = 2580,
             .width = 600, // five digits, the largest list number
             .height = 255,
             .tab = 13,
             .back = Qt::white},

            {.control = &Command7,
             .left = 1680,
             .top = 2400,
             .width = 855,
             .height = 255,
             .tab = 12,
             .caption = QStringLiteral("検索する")},
            {.control = &Drive1, .left = 120, .top = 240, .width = 2775, .height = 300, .tab = 7},
            // Ends a gap above the search button (top 2400) instead of under it.
            {.control = &Dir1, .left = 120, .top = 600, .width = 2775, .height = 1740, .tab = 6},

            {.control = &Command9,
             .left = 120,
             .top = 2160,
             .width = 2760,
             .height = 255,
             .tab = 23,
             .caption = QStringLiteral("壁紙にする")},
            {.control = &Command8,
             .left = 120,
             .top = 1800,
             .width = 2775,
             .height = 255,
             .tab = 22,
             .caption = QStringLiteral("クリップボードにコピー")},
            {.control = &Frame2, .left = 120, .top = 240, .width = 2775, .height = 1095, .tab = 17},
            {.control = &Label6,
             .left = 120,
             .top = 2520,
             .width = 2775,
             .height = 1215,
             .tab = 25,
             .caption = QStringLiteral(
                 "ﾌｧｲﾙの色数やサイズによっては、表示速度が遅くなる事があります。コピーしたり、"
                 "壁紙にすることができます。また､表示された画像を、マウスの右ボタンでクリック"
                 "すれば、大きく表示することができます。 →"),
             .back = yellow},
            {.control = &Label7,
             .left = 120,
             .top = 1440,
             .width = 2775,
             .height = 255,
             .tab = 24,
             .back = Qt::white,
             .fore = Qt::black},

            {.control = &Command5,
             .left = 1680,
             .top = 720,
             .width = 975,
             .height = 255,
             .tab = 19,
             .caption = QStringLiteral("元に戻す")},
            {.control = &HScroll1,
             .left = 1680,
             .top = 240,
             .width = 975,
             .height = 255,
             .tab = 18},
            {.control = &Label3,
             .left = 120,
             .top = 240,
             .width = 855,
             .height = 255,
             .tab = 21,
             .caption = QStringLiteral("表示速度：")},
            {.control = &Label4,
             .left = 1080,
             .top = 240,
             .width = 375,
             .height = 255,
             .tab = 20,
             .caption = QString::number(speed::kDefault),
             .back = Qt::white},
        });

    Picture1.setAlign(tk::AlignLeft);
    // The select-all button sits over the list, in a margin at its right that the entries
    // leave free; in front of the list it can be seen and clicked.
    List1.setRightMargin(List1.left() + List1.width() - Command6.left() + kGap);
    Command6.ZOrder(0);
    pic.setMouseIcon(artwork::loupe_cursor());
    // In front of the lower panel, whose empty right part it covers, so that it gets the mouse.
    pic.ZOrder(0);
    Label7.setElideStart(true); // a long path still shows the file's name
    pic_clp.setAutoSize(true);
    pic_moto.setAutoSize(true);
    File1.setPattern(QStringLiteral("*.bmp;*.dib;*.jpg;*.wmf;*.emf"));
    HScroll1.setRange(speed::kFastest, speed::kSlowest);
    HScroll1.setSteps(1, 2);
    HScroll1.setValue(speed::kDefault);
    Command9.setToolTipText(QStringLiteral("ウィンドウズの壁紙にします"));
    Command8.setToolTipText(
        QStringLiteral("クリップボードにコピーします。 "
                       "コピーした画像は､他のアプリケーションに貼り付けて使用できます"));
    Command5.setToolTipText(QStringLiteral("再生速度を元の設定に戻します"));
    access_texts::apply(*this);
}
