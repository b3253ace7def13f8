#pragma once
#include "ui/main_fm_design.h"

#include <QString>

// The texts the program shows the user, each defined once.
namespace messages {

// The main window's title, by which a running instance is found.
inline const QString& kMainTitle = MainFmDesign::kTitle;
// Title of every message box.
inline const QString kMessageTitle = QStringLiteral("メッセージ  PIKUTA  By MOFURA SOFT");

// Status line of the play list.
inline const QString kNothingToPlay = QStringLiteral("再生できるﾌｧｲﾙがありません。");
inline const QString kNothingMarked = QStringLiteral("再生するﾌｧｲﾙが指定されていません。");

// Status line when a path given to open (from the file manager) cannot be, before the path.
inline const QString kPathNotFound = QStringLiteral("ﾌｧｲﾙまたはﾌｫﾙﾀﾞが見つかりません： ");
inline const QString kNotListedType = QStringLiteral("表示するﾌｧｲﾙの種類ではありません： ");

} // namespace messages
