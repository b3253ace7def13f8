#pragma once
#include "toolkit/form.h"

#include <QMenu>
#include <cstdint>

// A window that is never shown: it carries the popup menu of the picture area.
class MenuForm : public tk::Form {
  public:
    MenuForm();

    QMenu menyu{QStringLiteral("menu")};
    tk::MenuItem m1{menyu, "m1", QStringLiteral("1.通常の表示")};
    tk::MenuItem m2{menyu, "m2", QStringLiteral("2.最大表示 (フルスクリーンサイズ)")};
    tk::MenuItem m3{menyu, "m3", QStringLiteral("3.ウィンドウに合わす (サイズ変更可)")};
    tk::MenuItem sep{menyu, "sep", QStringLiteral("-")};
    tk::MenuItem moto{menyu, "moto", QStringLiteral("ｻｲｽﾞ変更しないで画質を優先する")};
    tk::MenuItem sep1{menyu, "sep1", QStringLiteral("-")};
    tk::MenuItem vrj{menyu, "vrj", QStringLiteral("== バージョン情報(&v) ==")};
    tk::MenuItem sep2{menyu, "sep2", QStringLiteral("-")};
    tk::MenuItem crip{menyu, "crip", QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰする")};
    tk::MenuItem kabegami{menyu, "kabegami", QStringLiteral("壁紙にする")};
    tk::MenuItem sep3{menyu, "sep3", QStringLiteral("-")};
    tk::MenuItem defolt{menyu, "defolt", QStringLiteral("ﾃﾞﾌｫﾙﾄの位置とｻｲｽﾞに戻す")};

    // Applies a display mode to the main window.
    void hyouji_set(std::uint8_t mode);

    void m1_Click();
    void m2_Click();
    void m3_Click();
    void moto_Click();
    void vrj_Click();
    void crip_Click();
    void kabegami_Click();
    void defolt_Click();
};
