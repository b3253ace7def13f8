#pragma once
#include "toolkit/form.h"

#include <QMenu>

// A window that is never shown: it carries the popup menu of the picture area. The window's
// code is MenuForm.
class MenuFmDesign : public tk::Form {
  public:
    MenuFmDesign();

    QMenu menyu{QStringLiteral("menu")};
    tk::MenuItem m1{menyu, "m1", QStringLiteral("1.通常の表示")}; // display mode: normal
    tk::MenuItem m2{menyu, "m2", QStringLiteral("2.最大表示 (フルスクリーンサイズ)")}; // maximised
    tk::MenuItem m3{menyu, "m3",
                    QStringLiteral("3.ウィンドウに合わす (サイズ変更可)")}; // fit to window
    tk::MenuItem sep{menyu, "sep", QStringLiteral("-")};
    tk::MenuItem moto{menyu, "moto", QStringLiteral("ｻｲｽﾞ変更しないで画質を優先する")}; // own size
    tk::MenuItem sep1{menyu, "sep1", QStringLiteral("-")};
    tk::MenuItem vrj{menyu, "vrj", QStringLiteral("== バージョン情報(&v) ==")}; // version window
    tk::MenuItem sep2{menyu, "sep2", QStringLiteral("-")};
    tk::MenuItem crip{menyu, "crip", QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰする")}; // copy
    tk::MenuItem kabegami{menyu, "kabegami", QStringLiteral("壁紙にする")};   // wallpaper
    tk::MenuItem sep3{menyu, "sep3", QStringLiteral("-")};
    tk::MenuItem defolt{menyu, "defolt",
                        QStringLiteral("ﾃﾞﾌｫﾙﾄの位置とｻｲｽﾞに戻す")}; // default place
};
