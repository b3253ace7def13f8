// The texts the program must show, byte for byte: half-width katakana stays half-width.
#include "ui/texts.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Texts, CatalogueHoldsTheTextsShown) {
    struct Row {
        const char* what;
        QString text;
        const char* expected; // UTF-8
    };
    const Row rows[] = {
        {"list hint", texts::kListHint,
         "ここで再生したいﾌｧｲﾙを選びます。ﾏｳｽでﾄﾞﾗｯｸﾞしたり､ "
         "CTRLキーを押しながらｸﾘｯｸして選ぶと便利です"},
        {"empty list hint", texts::kListEmptyHint,
         "選択可能なﾌｧｲﾙがありません。ﾄﾞﾗｲﾌﾞやﾌｫﾙﾀﾞを変更して検索をしてみてください"},
        {"nothing to play hint", texts::kNothingToPlayHint,
         "画像ﾌｧｲﾙがあるﾄﾞﾗｲﾌﾞやﾌｫﾙﾀﾞを指定するか、または、検索をしてみてください"},
        {"nothing marked hint", texts::kNothingMarkedHint,
         "少なくとも、一つ以上のﾌｧｲﾙをこの上のﾘｽﾄから選んでください"},
        {"loupe corner, loupe on", texts::kLoupeEndHint, "ﾙｰﾍﾟの終了"},
        {"elsewhere, loupe on", texts::kLoupeZoomHint, "左ｸﾘｯｸで拡大・右ｸﾘｯｸで縮小"},
        {"strip back", texts::kStripBackHint, "BACK"},
        {"strip play", texts::kStripPlayHint, "PLAY"},
        {"strip stop", texts::kStripStopHint, "STOP"},
        {"strip next", texts::kStripNextHint, "NEXT"},
        {"loupe corner, loupe off", texts::kLoupeStartHint, "ﾙｰﾍﾟを使う"},
        {"elsewhere, loupe off", texts::kMenuHint, "右ｸﾘｯｸでﾒﾆｭｰ"},
        {"search button idle hint", texts::kSearchStartHint, "検索を開始します"},
        {"search button running hint", texts::kSearchStopHint, "検索を中止します"},
        {"nothing to play", texts::kNothingToPlay, "再生できるﾌｧｲﾙがありません。"},
        {"nothing marked", texts::kNothingMarked, "再生するﾌｧｲﾙが指定されていません。"},
        {"all marked", texts::marked_all(25), "25 個 選択"},
        {"path not found", texts::path_not_found("/p/a.jpg"),
         "ﾌｧｲﾙまたはﾌｫﾙﾀﾞが見つかりません： /p/a.jpg"},
        {"not a listed type", texts::not_listed_type("/p/a.txt"),
         "表示するﾌｧｲﾙの種類ではありません： /p/a.txt"},
        {"search button", texts::kSearchButton, "検索"},
        {"stop button", texts::kStopButton, "中止"},
        {"searching", texts::searching(12), "検索中 . . . 12 個"},
        {"found", texts::search_result(12), "検索結果 12 個 みつかりました"},
        {"found nothing", texts::search_result(0), "検索結果 なんにも みつかりません"},
        {"version, minor of one digit", texts::version_line(1, 5, 12), "Ver1.05  Revision12"},
        {"version, minor of two digits", texts::version_line(1, 10, 0), "Ver1.10  Revision0"},
        {"message title", texts::kMessageTitle, "メッセージ  PIKUTA  By MOFURA SOFT"},
        {"drive unreadable", texts::drive_unreadable("E:\\", "No medium found"),
         "ドライブ E:\\ No medium found"},
        {"list full", texts::kListFull, "ﾘｽﾄ ﾎﾞｯｸｽがいっぱいになりました。検索を中止します。"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.text.toUtf8(), QByteArray(r.expected)) << r.what;

    // Balloon help, in the order the tips are set.
    struct Tip {
        const char* window;
        const char* control;
        const char* text;
    };
    const Tip fixed[] = {
        {"main_fm", "Command1", "一つ戻る"},
        {"main_fm", "Command2", "一つ進める"},
        {"main_fm", "Command3", "表示の開始"},
        {"main_fm", "Command4", "停止"},
        {"main_fm", "Command5", "ﾃﾞﾌｫﾙﾄの表示速度 3 に戻す"},
        {"main_fm", "Command6", "ここに表示されているすべてのﾌｧｲﾙを選択します"},
        {"main_fm", "Command7",
         "現在選択されているﾊﾟｽから有効なﾌｧｲﾙを探します。（ｻﾌﾞﾌｫﾙﾀﾞも検索します）ｸﾘｯｸしてみてくださ"
         "い"},
        {"main_fm", "Command8",
         "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰします。ｺﾋﾟｰした画像は､他のｱﾌﾟﾘｹｰｼｮﾝに貼り付けて使用できます"},
        {"main_fm", "Command9", "ｳｨﾝﾄﾞｳｽﾞの壁紙にします"},
        {"main_fm", "Drive1", "ここでﾄﾞﾗｲﾌﾞを選択します"},
        {"main_fm", "Dir1",
         "ここで表示や検索を行うﾌｫﾙﾀﾞを指定します。(ﾀﾞﾌﾞﾙｸﾘｯｸでﾌｫﾙﾀﾞの指定ができます)"},
        {"main_fm", "Label2", "表示されている画像のﾌｧｲﾙﾘｽﾄ番号"},
        {"main_fm", "Label4", "表示速度 1=早い 10=遅い"},
        {"kensaku_set", "Command1", "現在の設定を有効する"},
        {"kensaku_set", "Command2", "このｳｨﾝﾄﾞｳを閉じます"},
        {"kensaku_set", "Command3", "設定"},
        {"kensaku_set", "Command4", "ﾃﾞﾌｫﾙﾄの設定に戻します"},
        {"kensaku_set", "Command5", "中止"},
        {"kensaku_set", "Check1", "ｳｨﾝﾄﾞｳｽﾞ標準の画像ﾌｧｲﾙです"},
        {"kensaku_set", "Check2", "これは表示できるか自信がありません"},
        {"kensaku_set", "Check3", "これも表示できるか自信がありません"},
        {"kensaku_set", "Check4", "ﾁｪｯｸするとﾊﾞﾙｰﾝﾍﾙﾌﾟを表示"},
        {"kensaku_set", "pic", "検索しています . ."},
        {"kensaku_set", "img1", "ようこそ！検索へ"},
    };
    ASSERT_EQ(texts::fixed_tips().size(), std::size(fixed));
    for (std::size_t i = 0; i < std::size(fixed); ++i) {
        const texts::Tip& tip = texts::fixed_tips()[i];
        EXPECT_EQ(std::string(tip.window) + " " + tip.control + " " + tip.text,
                  std::string(fixed[i].window) + " " + fixed[i].control + " " + fixed[i].text);
    }
    // Set by their own controls as the mouse moves; cleared with the others.
    std::vector<std::string> self_set;
    for (const texts::Tip& tip : texts::self_set_tips())
        self_set.push_back(std::string(tip.window) + " " + tip.control + " " + tip.text);
    EXPECT_EQ(self_set, (std::vector<std::string>{"main_fm List1 ", "main_fm Label5 ",
                                                  "kensaku_set Command7 "}));
}
