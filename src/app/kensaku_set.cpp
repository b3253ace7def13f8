#include "app/kensaku_set.h"

KensakuSet::KensakuSet() {
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Command7.onClick = [this] { Command7_Click(); };
    Command7.onMouseMove = [this](int, int, double, double) { Command7_MouseMove(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
}
