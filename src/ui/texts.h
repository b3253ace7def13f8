#pragma once
#include <QString>
#include <cstdint>
#include <span>

// The texts the program shows the user, each defined once: balloon help, the hints that change
// with the moment, the status line, the search window's changing texts and the messages.
// Captions, and the tips a window's design gives its controls, are the designs'.
namespace texts {

// Balloon help: the fixed tips of the main and the search window, by window and control name.
struct Tip {
    const char* window; // the window's name: "main_fm" or "kensaku_set"
    const char* control;
    const char* text; // UTF-8
};

// Shown while balloon help is on.
std::span<const Tip> fixed_tips();

// Controls that set their own tips as the mouse moves over them; with balloon help off they
// are cleared together with the fixed ones (text empty).
std::span<const Tip> self_set_tips();

// Hints of the play list: with entries, and empty.
inline const QString kListHint =
    QStringLiteral("ここで再生したいﾌｧｲﾙを選びます。ﾏｳｽでﾄﾞﾗｯｸﾞしたり､ "
                   "CTRLキーを押しながらｸﾘｯｸして選ぶと便利です");
inline const QString kListEmptyHint =
    QStringLiteral("選択可能なﾌｧｲﾙがありません。ﾄﾞﾗｲﾌﾞやﾌｫﾙﾀﾞを変更して検索をしてみてください");
// Hints of the status line, by the message it shows.
inline const QString kNothingToPlayHint =
    QStringLiteral("画像ﾌｧｲﾙがあるﾄﾞﾗｲﾌﾞやﾌｫﾙﾀﾞを指定するか、または、検索をしてみてください");
inline const QString kNothingMarkedHint =
    QStringLiteral("少なくとも、一つ以上のﾌｧｲﾙをこの上のﾘｽﾄから選んでください");

// Hints of the picture area: with the loupe on, on its corner and elsewhere; with it off, on
// the control strip of the full window modes, on the loupe corner and elsewhere.
inline const QString kLoupeEndHint = QStringLiteral("ﾙｰﾍﾟの終了");
inline const QString kLoupeZoomHint = QStringLiteral("左ｸﾘｯｸで拡大・右ｸﾘｯｸで縮小");
inline const QString kStripBackHint = QStringLiteral("BACK");
inline const QString kStripPlayHint = QStringLiteral("PLAY");
inline const QString kStripStopHint = QStringLiteral("STOP");
inline const QString kStripNextHint = QStringLiteral("NEXT");
inline const QString kLoupeStartHint = QStringLiteral("ﾙｰﾍﾟを使う");
inline const QString kMenuHint = QStringLiteral("右ｸﾘｯｸでﾒﾆｭｰ");

// Hints of the search button: idle, and while a search runs.
inline const QString kSearchStartHint = QStringLiteral("検索を開始します");
inline const QString kSearchStopHint = QStringLiteral("検索を中止します");

// The status line of the play list.
inline const QString kNothingToPlay = QStringLiteral("再生できるﾌｧｲﾙがありません。");
inline const QString kNothingMarked = QStringLiteral("再生するﾌｧｲﾙが指定されていません。");
QString marked_all(int count);
// A path given to open that cannot be, and why.
QString path_not_found(const QString& path);
QString not_listed_type(const QString& path);

// The search window: its button's caption while idle and while a search runs, and the count.
inline const QString kSearchButton = QStringLiteral("検索");
inline const QString kStopButton = QStringLiteral("中止");
QString searching(int found);
QString search_result(int found);

// The version window's line: "Ver" major "." minor (at least two digits) "  Revision" revision.
QString version_line(std::uint16_t major, std::uint16_t minor, std::uint16_t revision);

// Title of every message box.
inline const QString kMessageTitle = QStringLiteral("メッセージ  PIKUTA  By MOFURA SOFT");
// A drive chosen that cannot be read, with the system's description of the failure.
QString drive_unreadable(const QString& drive, const QString& description);
// The play list can take no more entries: the search ends.
inline const QString kListFull =
    QStringLiteral("ﾘｽﾄ ﾎﾞｯｸｽがいっぱいになりました。検索を中止します。");

} // namespace texts
