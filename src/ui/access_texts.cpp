#include "ui/access_texts.h"

#include "toolkit/form.h"
#include "ui/texts.h"

#include <cstring>

namespace access_texts {

namespace {

struct Text {
    const char* window;
    const char* control;
    const char* role;        // UTF-8
    const char* description; // UTF-8; empty: the control's balloon-help tip, if any
};

constexpr Text kTexts[] = {
    {"main_fm", "Picture1", "枠の高さを測る帯", ""},
    {"main_fm", "pic", "画像", "表示している画像です。右ｸﾘｯｸでﾒﾆｭｰを開きます"},
    {"main_fm", "pic_clp", "コピーする画像", ""},
    {"main_fm", "pic_moto", "元の大きさの画像", ""},
    {"main_fm", "Frame4", "ドライブとフォルダ", ""},
    {"main_fm", "Frame3", "コピー、壁紙、表示速度", ""},
    {"main_fm", "Frame2", "表示速度の設定", ""},
    {"main_fm", "List1", "ファイルリスト", "再生したいﾌｧｲﾙを選びます。(複数可)"},
    {"main_fm", "Label5", "状態", "選んだﾌｧｲﾙのﾊﾟｽやﾒｯｾｰｼﾞ"},
    {"main_fm", "Label2", "ファイルリスト番号", ""},
    {"main_fm", "Drive1", "ドライブ", ""},
    {"main_fm", "Dir1", "フォルダ", ""},
    {"main_fm", "Label7", "表示したファイル", ""},
    {"main_fm", "HScroll1", "表示速度", "表示速度 1=早い 10=遅い"},
    {"main_fm", "Label4", "表示速度", ""},
    {"kensaku_set", "Picture1", "枠の高さを測る帯", ""},
    {"kensaku_set", "pic", "検索中", ""},
    {"kensaku_set", "Command7", "", "検索を開始します。検索中は中止します"},
    {"kensaku_set", "Label1", "検索結果", ""},
    {"kensaku_set", "img1", "ようこそ", ""},
    {"kensaku_set", "pic2", "検索中の動画", ""},
    {"kensaku_set", "Line1", "区切り線", ""},
    {"vrjo", "Image3", "バージョン情報", ""},
    {"vrjo", "Label3", "ごあいさつ", ""},
    {"vrjo", "Label4", "お礼", ""},
};

QString tip_of(const tk::Form& window, const char* control) {
    for (const texts::Tip& tip : texts::fixed_tips())
        if (window.name() == QLatin1String(tip.window) && std::strcmp(tip.control, control) == 0)
            return QString::fromUtf8(tip.text);
    return {};
}

} // namespace

void apply(tk::Form& window) {
    for (const texts::Tip& tip : texts::fixed_tips())
        if (window.name() == QLatin1String(tip.window))
            if (tk::Control* c = window.control(QString::fromUtf8(tip.control)))
                c->describe({}, QString::fromUtf8(tip.text));
    for (const Text& text : kTexts) {
        if (window.name() != QLatin1String(text.window)) continue;
        if (tk::Control* c = window.control(QString::fromUtf8(text.control)))
            c->describe(QString::fromUtf8(text.role), *text.description
                                                          ? QString::fromUtf8(text.description)
                                                          : tip_of(window, text.control));
    }
}

} // namespace access_texts
