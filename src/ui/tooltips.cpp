// Balloon help: the fixed tool tips of the main and the search window, on or off together.
#include "app/forms.h"
#include "app/module2.h"
#include "ui/kensaku_set.h"
#include "ui/main_fm.h"

#include <utility>
#include <vector>

void Module2::set_tooltips() {
    MainForm& m = *main_fm;
    KensakuSet& k = *kensaku_set;
    if (opc4_flag != 1) {
        // List1, Label5 and the search button set their own tips as the mouse moves over
        // them; with balloon help off those are cleared as well.
        for (tk::Control* c : std::initializer_list<tk::Control*>{
                 &m.Command1, &m.Command2, &m.Command3, &m.Command4, &m.Command5, &m.Command6,
                 &m.Command7, &m.Command8, &m.Command9, &m.Drive1,   &m.Dir1,     &m.List1,
                 &m.Label2,   &m.Label4,   &m.Label5,   &k.Command1, &k.Command2, &k.Command3,
                 &k.Command4, &k.Command5, &k.Command7, &k.Check1,   &k.Check2,   &k.Check3,
                 &k.Check4,   &k.pic,      &k.img1})
            c->setToolTipText(QString());
        return;
    }
    const std::vector<std::pair<tk::Control*, const char*>> tips{
        {&m.Command1, "一つ戻る"},
        {&m.Command2, "一つ進める"},
        {&m.Command3, "表示の開始"},
        {&m.Command4, "停止"},
        {&m.Command5, "ﾃﾞﾌｫﾙﾄの表示速度 3 に戻す"},
        {&m.Command6, "ここに表示されているすべてのﾌｧｲﾙを選択します"},
        {&m.Command7, "現在選択されているﾊﾟｽから有効なﾌｧｲﾙを探します。（ｻﾌﾞﾌｫﾙﾀﾞも検索します）"
                      "ｸﾘｯｸしてみてください"},
        {&m.Command8,
         "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰします。ｺﾋﾟｰした画像は､他のｱﾌﾟﾘｹｰｼｮﾝに貼り付けて使用できます"},
        {&m.Command9, "ｳｨﾝﾄﾞｳｽﾞの壁紙にします"},
        {&m.Drive1, "ここでﾄﾞﾗｲﾌﾞを選択します"},
        {&m.Dir1, "ここで表示や検索を行うﾌｫﾙﾀﾞを指定します。(ﾀﾞﾌﾞﾙｸﾘｯｸでﾌｫﾙﾀﾞの指定ができます)"},
        {&m.Label2, "表示されている画像のﾌｧｲﾙﾘｽﾄ番号"},
        {&m.Label4, "表示速度 1=早い 10=遅い"},
        {&k.Command1, "現在の設定を有効する"},
        {&k.Command2, "このｳｨﾝﾄﾞｳを閉じます"},
        {&k.Command3, "設定"},
        {&k.Command4, "ﾃﾞﾌｫﾙﾄの設定に戻します"},
        {&k.Command5, "中止"},
        {&k.Check1, "ｳｨﾝﾄﾞｳｽﾞ標準の画像ﾌｧｲﾙです"},
        {&k.Check2, "これは表示できるか自信がありません"},
        {&k.Check3, "これも表示できるか自信がありません"},
        {&k.Check4, "ﾁｪｯｸするとﾊﾞﾙｰﾝﾍﾙﾌﾟを表示"},
        {&k.pic, "検索しています . ."},
        {&k.img1, "ようこそ！検索へ"},
    };
    for (const auto& [control, tip] : tips)
        control->setToolTipText(QString::fromUtf8(tip));
}
