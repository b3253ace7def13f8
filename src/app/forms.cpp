#include "app/forms.h"

#include "app/vrjo.h"

#include "ui/kensaku_set.h"
#include "ui/main_fm.h"
#include "ui/menu_fm.h"

tk::FormRef<MainForm> main_fm;
tk::FormRef<MenuForm> menu_fm;
tk::FormRef<KensakuSet> kensaku_set;
tk::FormRef<Vrjo> vrjo;
