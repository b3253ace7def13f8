// The search window, the clipboard copy and the wallpaper command arrive as their own
// features; until then their buttons and keys do nothing.
#include "app/main_fm.h"

void MainForm::Command7_Click() {}
void MainForm::Command8_Click() {}
void MainForm::Command9_Click() {}
