#include "ui/vrjo_design.h"

#include "toolkit/design.h"
#include "toolkit/units.h"
#include "ui/access_texts.h"
#include "ui/artwork.h"

#include <QApplication>

VrjoDesign::VrjoDesign() : tk::Form(QStringLiteral("vrjo")) {
    setCaption(QStringLiteral("バージョン情報"));
    setBorderStyle(tk::FixedToolWindow);
    setKeyPreview(true);
    design(3435, 1890);
    // Centred on the primary screen until the menu shows it (on the main window's screen).
    centre_in(tk::work_area({}));

    tk::apply_design(
        *this, {
                   {.control = &Image3, .width = 3480, .height = 1935},
                   {.control = &Label1,
                    .left = 120,
                    .top = 1140,
                    .width = 1815,
                    .height = 615,
                    .caption = QStringLiteral("PIKUTA\nBy MOFURA SOFT"),
                    .fore = Qt::white},
                   {.control = &Label2,
                    .left = 120,
                    .top = 120,
                    .width = 3255,
                    .height = 855,
                    .caption = QStringLiteral("このプログラムは １９９６年 １２月 作成 されました。"
                                              "このプログラムは ファイルを表示して "
                                              "ファイルの確認を行うためのソフトです。")},
                   {.control = &Label3, .left = 1680, .top = 1440, .width = 615, .height = 375},
                   {.control = &Label4, .left = 2760, .top = 1080, .width = 615, .height = 735},
                   {.control = &Label5,
                    .left = 1320,
                    .top = 1140,
                    .width = 1665,
                    .height = 255,
                    .fore = Qt::white},
               });
    Image3.setPicture(artwork::version_picture());
    for (tk::Label* l : {&Label1, &Label2, &Label3, &Label4, &Label5})
        l->setTransparent(true);
    QFont larger = QApplication::font();
    larger.setPointSizeF(9.75);
    Label2.setFont(larger);
    // Design-time tips, whatever the balloon-help option says.
    Label3.setToolTipText(QStringLiteral("PIKUTAのご使用ありがとうございます"));
    Label4.setToolTipText(QStringLiteral("Thank You"));
    access_texts::apply(*this);
}
