#include "app/forms.h"

#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/vrjo.h"

tk::FormRef<MainForm> main_fm;
tk::FormRef<MenuForm> menu_fm;
tk::FormRef<KensakuSet> kensaku_set;
tk::FormRef<Vrjo> vrjo;
