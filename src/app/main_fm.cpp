#include "app/main_fm.h"

MainForm::MainForm() {
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
    for (tk::Timer* timer : {&Timer1, &Timer2, &Timer3})
        timer->onSwitch = [this] { keep_screen_awake(); };
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
