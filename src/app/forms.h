#pragma once
#include "toolkit/form.h"

class MainForm;
class MenuForm;
class KensakuSet;
class Vrjo;

// The program-wide reference of each window; touching one loads it.
extern tk::FormRef<MainForm> main_fm;
extern tk::FormRef<MenuForm> menu_fm;
extern tk::FormRef<KensakuSet> kensaku_set;
extern tk::FormRef<Vrjo> vrjo;
