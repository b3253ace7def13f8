#include "ui/texts.h"

namespace texts {

namespace {

constexpr Tip kFixed[] = {
    {"main_fm", "Command1", "一つ戻る"},
    {"main_fm", "Command2", "一つ進める"},
    {"main_fm", "Command3", "表示の開始"},
    {"main_fm", "Command4", "停止"},
    {"main_fm", "Command5", "ﾃﾞﾌｫﾙﾄの表示速度 3 に戻す"},
    {"main_fm", "Command6", "ここに表示されているすべてのﾌｧｲﾙを選択します"},
    {"main_fm", "Command7",
     "現在選択されているﾊﾟｽから有効なﾌｧｲﾙを探します。（ｻﾌﾞﾌｫﾙﾀﾞも検索します）"
     "ｸﾘｯｸしてみてください"},
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

constexpr Tip kSelfSet[] = {
    {"main_fm", "List1", ""},
    {"main_fm", "Label5", ""},
    {"kensaku_set", "Command7", ""},
};

} // namespace

std::span<const Tip> fixed_tips() {
    return kFixed;
}

std::span<const Tip> self_set_tips() {
    return kSelfSet;
}

QString marked_all(int count) {
    return QString::number(count) + QStringLiteral(" 個 選択");
}

QString path_not_found(const QString& path) {
    return QStringLiteral("ﾌｧｲﾙまたはﾌｫﾙﾀﾞが見つかりません： ") + path;
}

QString not_listed_type(const QString& path) {
    return QStringLiteral("表示するﾌｧｲﾙの種類ではありません： ") + path;
}

QString searching(int found) {
    return QStringLiteral("検索中 . . . ") + QString::number(found) + QStringLiteral(" 個");
}

QString search_result(int found) {
    return found != 0 ? QStringLiteral("検索結果 ") + QString::number(found) +
                            QStringLiteral(" 個 みつかりました")
                      : QStringLiteral("検索結果 なんにも みつかりません");
}

QString version_line(std::uint16_t major, std::uint16_t minor, std::uint16_t revision) {
    return QStringLiteral("Ver%1.%2  Revision%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision);
}

QString drive_unreadable(const QString& drive, const QString& description) {
    return QStringLiteral("ドライブ ") + drive + QLatin1Char(' ') + description;
}

} // namespace texts
