// Balloon help: the fixed tool tips of the main and the search window, on or off together.
#include "app/forms.h"
#include "app/module2.h"
#include "ui/kensaku_set.h"
#include "ui/main_fm.h"

void Module2::set_tooltips()
{
    const bool on = opc4_flag == 1;
    MainForm& m = *main_fm;
    if (on) {
        m.Command1.setToolTipText(QStringLiteral("一つ戻る"));
        m.Command2.setToolTipText(QStringLiteral("一つ進める"));
        m.Command3.setToolTipText(QStringLiteral("表示の開始"));
        m.Command4.setToolTipText(QStringLiteral("停止"));
        m.Command5.setToolTipText(QStringLiteral("ﾃﾞﾌｫﾙﾄの表示速度 3 に戻す"));
        m.Command6.setToolTipText(QStringLiteral("ここに表示されているすべてのﾌｧｲﾙを選択します"));
        m.Command7.setToolTipText(QStringLiteral(
            "現在選択されているﾊﾟｽから有効なﾌｧｲﾙを探します。（ｻﾌﾞﾌｫﾙﾀﾞも検索します）ｸﾘｯｸしてみてください"));
        m.Command8.setToolTipText(QStringLiteral(
            "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰします。ｺﾋﾟｰした画像は､他のｱﾌﾟﾘｹｰｼｮﾝに貼り付けて使用できます"));
        m.Command9.setToolTipText(QStringLiteral("ｳｨﾝﾄﾞｳｽﾞの壁紙にします"));
        m.Drive1.setToolTipText(QStringLiteral("ここでﾄﾞﾗｲﾌﾞを選択します"));
        m.Dir1.setToolTipText(QStringLiteral(
            "ここで表示や検索を行うﾌｫﾙﾀﾞを指定します。(ﾀﾞﾌﾞﾙｸﾘｯｸでﾌｫﾙﾀﾞの指定ができます)"));
        m.Label2.setToolTipText(QStringLiteral("表示されている画像のﾌｧｲﾙﾘｽﾄ番号"));
        m.Label4.setToolTipText(QStringLiteral("表示速度 1=早い 10=遅い"));
        KensakuSet& k = *kensaku_set;
        k.Command1.setToolTipText(QStringLiteral("現在の設定を有効する"));
        k.Command2.setToolTipText(QStringLiteral("このｳｨﾝﾄﾞｳを閉じます"));
        k.Command3.setToolTipText(QStringLiteral("設定"));
        k.Command4.setToolTipText(QStringLiteral("ﾃﾞﾌｫﾙﾄの設定に戻します"));
        k.Command5.setToolTipText(QStringLiteral("中止"));
        k.Check1.setToolTipText(QStringLiteral("ｳｨﾝﾄﾞｳｽﾞ標準の画像ﾌｧｲﾙです"));
        k.Check2.setToolTipText(QStringLiteral("これは表示できるか自信がありません"));
        k.Check3.setToolTipText(QStringLiteral("これも表示できるか自信がありません"));
        k.Check4.setToolTipText(QStringLiteral("ﾁｪｯｸするとﾊﾞﾙｰﾝﾍﾙﾌﾟを表示"));
        k.pic.setToolTipText(QStringLiteral("検索しています . ."));
        k.img1.setToolTipText(QStringLiteral("ようこそ！検索へ"));
        return;
    }
    for (tk::Control* c : std::initializer_list<tk::Control*>{
             &m.Command1, &m.Command2, &m.Command3, &m.Command4, &m.Command5, &m.Command6,
             &m.Command7, &m.Command8, &m.Command9, &m.Drive1, &m.Dir1, &m.List1, &m.Label2,
             &m.Label4, &m.Label5})
        c->setToolTipText(QString());
    KensakuSet& k = *kensaku_set;
    for (tk::Control* c : std::initializer_list<tk::Control*>{
             &k.Command1, &k.Command2, &k.Command3, &k.Command4, &k.Command5, &k.Command7,
             &k.Check1, &k.Check2, &k.Check3, &k.Check4, &k.pic, &k.img1})
        c->setToolTipText(QString());
}
