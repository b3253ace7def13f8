#include "ui/main_fm.h"

#include "app/module2.h"
#include "ui/artwork.h"

#include <QWidget>

MainForm::MainForm() : tk::Form(QStringLiteral("main_fm")) {
    setCaption(Module2::kMainTitle);
    setBorderStyle(tk::Sizable);
    setKeyPreview(true);
    setIcon(artwork::program_icon());
    setBackColor(QColor(0xC0, 0xC0, 0xC0));
    design(8760, 2895);

    Picture1.move(0, 0, 15, 2895);
    Picture1.setVisible(false);
    Picture1.setAlign(tk::AlignLeft);

    pic.move(3000, 3120, 5655, 3495);
    pic.setBackColor(Qt::black);
    pic.setForeColor(QColor(255, 0, 255));
    pic.setMouseIcon(artwork::loupe_cursor());
    // In front of the lower panel, whose empty right part it covers, so that it gets the mouse.
    pic.ZOrder(0);

    pic_clp.move(8010, 210, 615, 615);
    pic_clp.setBackColor(Qt::black);
    pic_clp.setAutoSize(true);
    pic_clp.setVisible(false);

    Dir2.move(8880, 1560, 1575, 930);
    Dir2.setVisible(false);
    File1.move(8880, 240, 1575, 1170);
    File1.setVisible(false);
    File1.setPattern(QStringLiteral("*.bmp;*.dib;*.jpg;*.wmf;*.emf"));

    Frame1.move(3090, 0, 5670, 2895);
    Frame1.setCaption(QStringLiteral("再生したいファイルを選択して下さい。（複数可）"));
    Frame4.move(0, 0, 3015, 2895);
    Frame3.move(0, 2880, 8775, 3855);

    pic_moto.move(4920, 870, 615, 615);
    pic_moto.setBackColor(Qt::black);
    pic_moto.setAutoSize(true);
    pic_moto.setVisible(false);
    Command6.move(3960, 1530, 1095, 255);
    Command6.setCaption(QStringLiteral("すべて選択"));
    Command1.move(960, 2580, 855, 255);
    Command1.setCaption(QStringLiteral("BACK"));
    Command2.move(2880, 2580, 855, 255);
    Command2.setCaption(QStringLiteral("NEXT"));
    Command3.move(1920, 2580, 855, 255);
    Command3.setCaption(QStringLiteral("PLAY"));
    Command4.move(3840, 2580, 855, 255);
    Command4.setCaption(QStringLiteral("STOP"));
    List1.move(120, 210, 5445, 1860);
    Label5.move(120, 2100, 5445, 435);
    Label5.setBackColor(Qt::white);
    Label2.move(120, 2580, 420, 255);
    Label2.setBackColor(Qt::white);

    Command7.move(1680, 2400, 855, 255);
    Command7.setCaption(QStringLiteral("検索する"));
    Drive1.move(120, 240, 2775, 300);
    Dir1.move(120, 600, 2775, 2190);

    Command9.move(120, 2160, 2760, 255);
    Command9.setCaption(QStringLiteral("壁紙にする"));
    Command9.setToolTipText(QStringLiteral("ウィンドウズの壁紙にします"));
    Command8.move(120, 1800, 2775, 255);
    Command8.setCaption(QStringLiteral("クリップボードにコピー"));
    Command8.setToolTipText(
        QStringLiteral("クリップボードにコピーします。 "
                       "コピーした画像は､他のアプリケーションに貼り付けて使用できます"));
    Frame2.move(120, 240, 2775, 1095);
    Label6.move(120, 2520, 2775, 1215);
    Label6.setBackColor(QColor(255, 255, 192));
    Label6.setCaption(QStringLiteral("ﾌｧｲﾙの色数やサイズによっては、表示速度が遅くなる事があります"
                                     "。コピーしたり、壁紙にすることが"
                                     "できます。また､表示された画像を、マウスの右ボタンでクリックす"
                                     "れば、大きく表示することができ"
                                     "ます。 →"));
    Label7.move(120, 1440, 2775, 255);
    Label7.setBackColor(Qt::white);
    Label7.setForeColor(Qt::black);

    Command5.move(1680, 720, 975, 255);
    Command5.setCaption(QStringLiteral("元に戻す"));
    Command5.setToolTipText(QStringLiteral("再生速度を元の設定に戻します"));
    HScroll1.move(1680, 240, 975, 255);
    HScroll1.setRange(1, 10);
    HScroll1.setSteps(1, 2);
    HScroll1.setValue(3);
    Label3.move(120, 240, 855, 255);
    Label3.setCaption(QStringLiteral("表示速度："));
    Label4.move(1080, 240, 375, 255);
    Label4.setBackColor(Qt::white);
    Label4.setCaption(QStringLiteral("3"));

    set_tab_order(
        {{&Command4, 1}, {&Command3, 2},  {&Command2, 3},  {&Command1, 4},  {&Frame4, 5},
         {&Dir1, 6},     {&Drive1, 7},    {&Command6, 8},  {&File1, 9},     {&Dir2, 10},
         {&List1, 11},   {&Command7, 12}, {&Label2, 13},   {&Label5, 14},   {&pic_clp, 15},
         {&Frame3, 16},  {&Frame2, 17},   {&HScroll1, 18}, {&Command5, 19}, {&Label4, 20},
         {&Label3, 21},  {&Command8, 22}, {&Command9, 23}, {&Label7, 24},   {&Label6, 25},
         {&pic, 26},     {&pic_moto, 27}, {&Picture1, 28}, {&Frame1, 0}});
    wire_events();
}

void MainForm::wire_events() {
    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    Dir2.onChange = [this] { Dir2_Change(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    Command7.onClick = [this] { Command7_Click(); };
    Command8.onClick = [this] { Command8_Click(); };
    Command9.onClick = [this] { Command9_Click(); };
    Command1.onMouseDown = [this](int, int, double, double) { Command1_MouseDown(); };
    Command2.onMouseDown = [this](int, int, double, double) { Command2_MouseDown(); };
    Command1.onMouseUp = [this](int, int, double, double) { Command1_MouseUp(); };
    Command2.onMouseUp = [this](int, int, double, double) { Command2_MouseUp(); };
    HScroll1.onChange = [this] { HScroll1_Change(); };
    HScroll1.onScroll = [this] { HScroll1_Scroll(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    Timer2.onTick = [this] { Timer2_Timer(); };
    Timer3.onTick = [this] { Timer3_Timer(); };
    List1.onClick = [this] { List1_Click(); };
    List1.onDblClick = [this] { List1_DblClick(); };
    List1.onKeyPress = [this](int& key) { List1_KeyPress(key); };
    List1.onMouseMove = [this](int, int, double, double) { List1_MouseMove(); };
    Label5.onMouseMove = [this](int, int, double, double) { Label5_MouseMove(); };
    pic.onMouseDown = [this](int button, int shift, double x, double y) {
        pic_MouseDown(button, shift, x, y);
    };
    pic.onMouseMove = [this](int, int, double x, double y) { pic_MouseMove(x, y); };
}
