#include "ui/kensaku_set.h"

#include "app/module2.h"
#include "ui/artwork.h"

KensakuSet::KensakuSet() : tk::Form(QStringLiteral("kensaku_set")) {
    setCaption(QStringLiteral("検索"));
    setIcon(artwork::search_icon());
    setBorderStyle(tk::FixedDialog);
    design(3135, 975);

    Picture1.move(0, 0, 15, 975);
    Picture1.setVisible(false);
    Picture1.setAlign(tk::AlignLeft);

    Frame3.move(0, 0, 3135, 975);
    pic.move(780, 600, 480, 300);
    pic.setBackColor(Qt::white);
    pic.setVisible(false);
    Command7.move(120, 600, 615, 300);
    Command7.setCaption(QStringLiteral("検索"));
    Command2.move(1680, 600, 615, 300);
    Command2.setCaption(QStringLiteral("閉じる"));
    Command3.move(2400, 600, 615, 300);
    Command3.setCaption(QStringLiteral("設定"));
    Label1.move(75, 240, 2910, 255);
    Label1.setBackColor(Qt::white);
    img1.move(1260, 480, 315, 480);
    img1.setPicture(artwork::search_mascot());
    img1.setVisible(false);

    pic2.move(0, 1920, 4500, 300);
    pic2.setAutoSize(true);
    pic2.setPicture(artwork::search_strip());
    pic2.setVisible(false);

    Frame1.move(0, 0, 3135, 1815);
    Frame1.setVisible(false);
    Command5.move(1680, 1440, 975, 300);
    Command5.setCaption(QStringLiteral("ｷｬﾝｾﾙ"));
    Command4.move(2355, 135, 735, 255);
    Command4.setCaption(QStringLiteral("ﾃﾞﾌｫﾙﾄ"));
    Command1.move(480, 1440, 975, 300);
    Command1.setCaption(QStringLiteral("OK"));
    Check3.move(120, 720, 2775, 255);
    Check2.move(120, 480, 1335, 255);
    Check1.move(120, 240, 2175, 255);
    Check4.move(120, 1080, 2175, 255);

    set_tab_order({{&Check1, 0},
                   {&Check2, 1},
                   {&Check3, 2},
                   {&Frame1, 3},
                   {&Frame3, 4},
                   {&Command7, 5},
                   {&Label1, 6},
                   {&Command3, 7},
                   {&Command1, 8},
                   {&Command2, 9},
                   {&pic, 10},
                   {&Command4, 11},
                   {&Command5, 12},
                   {&Check4, 13},
                   {&pic2, 14},
                   {&Picture1, 15}});
    wire_events();
}

void KensakuSet::wire_events() {
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Command7.onClick = [this] { Command7_Click(); };
    Command7.onMouseMove = [this](int, int, double, double) { Command7_MouseMove(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
}
