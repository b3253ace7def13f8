// The texts the program must show, byte for byte where a slip is easy: half-width katakana
// stays half-width, and texts built from parts keep their spacing.
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
        {"half-width katakana and comma", texts::kListHint,
         "ここで再生したいﾌｧｲﾙを選びます。ﾏｳｽでﾄﾞﾗｯｸﾞしたり､ "
         "CTRLキーを押しながらｸﾘｯｸして選ぶと便利です"},
        {"full-width katakana kept", texts::kMessageTitle, "メッセージ  PIKUTA  By MOFURA SOFT"},
        {"all marked", texts::marked_all(25), "25 個 選択"},
        {"path not found", texts::path_not_found("/p/a.jpg"),
         "ﾌｧｲﾙまたはﾌｫﾙﾀﾞが見つかりません： /p/a.jpg"},
        {"not a listed type", texts::not_listed_type("/p/a.txt"),
         "表示するﾌｧｲﾙの種類ではありません： /p/a.txt"},
        {"searching", texts::searching(12), "検索中 . . . 12 個"},
        {"found", texts::search_result(12), "検索結果 12 個 みつかりました"},
        {"found nothing", texts::search_result(0), "検索結果 なんにも みつかりません"},
        {"version, minor of one digit", texts::version_line(1, 5, 12), "Ver1.05  Revision12"},
        {"version, minor of two digits", texts::version_line(1, 10, 0), "Ver1.10  Revision0"},
        {"drive unreadable", texts::drive_unreadable("E:\\", "No medium found"),
         "ドライブ E:\\ No medium found"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.text.toUtf8(), QByteArray(r.expected)) << r.what;

    // Balloon help: every control keeps its tip; the ones set as the mouse moves start empty.
    EXPECT_EQ(texts::fixed_tips().size(), 24u);
    EXPECT_STREQ(texts::fixed_tips()[7].text,
                 "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰします。ｺﾋﾟｰした画像は､他のｱﾌﾟﾘｹｰｼｮﾝに貼り付けて使用できます");
    std::vector<std::string> self_set;
    for (const texts::Tip& tip : texts::self_set_tips())
        self_set.push_back(std::string(tip.window) + " " + tip.control + " " + tip.text);
    EXPECT_EQ(self_set, (std::vector<std::string>{"main_fm List1 ", "main_fm Label5 ",
                                                  "kensaku_set Command7 "}));
}
