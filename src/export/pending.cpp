// The search window arrives as its own feature; until then its button does nothing.
#include "app/main_fm.h"

void MainForm::Command7_Click() {}
