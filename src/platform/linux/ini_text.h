#pragma once
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace platform {

// Settings as "section/key" and text value, in file order.
using IniValues = std::vector<std::pair<QString, QString>>;

// Reads INI text leniently: lines that are not a section, a comment or key=value are skipped,
// and an unquoted value is taken verbatim (trimmed), so odd text never fails or splits.
IniValues parse_ini_text(const QByteArray& text);

// Writes UTF-8 INI text that parse_ini_text reads back unchanged. Values are written bare;
// only those that would not survive a bare line (edge blanks, a leading quote, line breaks and
// other control characters) are quoted with backslash escapes.
QByteArray format_ini_text(const IniValues& values);

} // namespace platform
