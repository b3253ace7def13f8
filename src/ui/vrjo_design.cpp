#include "ui/vrjo_design.h"

#include "toolkit/rounding.h"
#include "toolkit/units.h"
#include "ui/artwork.h"

#include <QApplication>

VrjoDesign::VrjoDesign() : tk::Form(QStringLiteral("vrjo")) {
    setCaption(QStringLiteral("バージョン情報"));
    setBorderStyle(tk::FixedToolWindow);
    setKeyPreview(true);
    design(3435, 1890);
    // Centred on the screen, where it first appears.
    move(tk::round_half_even((tk::screen_width_twips() - width()) / 2),
         tk::round_half_even((tk::screen_height_twips() - height()) / 2));

    Image3.move(0, 0, 3480, 1935);
    Image3.setPicture(artwork::version_picture());

    Label1.move(120, 1140, 1815, 615);
    Label1.setCaption(QStringLiteral("PIKUTA\nBy MOFURA SOFT"));
    Label1.setForeColor(Qt::white);
    Label1.setTransparent(true);

    Label2.move(120, 120, 3255, 855);
    Label2.setCaption(QStringLiteral("このプログラムは １９９６年 １２月 作成 されました。"
                                     "このプログラムは ファイルを表示して "
                                     "ファイルの確認を行うためのソフトです。"));
    QFont larger = QApplication::font();
    larger.setPointSizeF(9.75);
    Label2.setFont(larger);
    Label2.setTransparent(true);

    Label3.move(1680, 1440, 615, 375);
    Label3.setToolTipText(QStringLiteral("PIKUTAのご使用ありがとうございます"));
    Label3.setTransparent(true);

    Label4.move(2760, 1080, 615, 735);
    Label4.setToolTipText(QStringLiteral("Thank You"));
    Label4.setTransparent(true);

    Label5.move(1320, 1140, 1665, 255);
    Label5.setForeColor(Qt::white);
    Label5.setTransparent(true);
}
