#include "platform/linux/ini_text.h"
#include "platform/file_names.h"

#include <QStringList>

namespace platform {
namespace {

QString unquote(const QString& quoted) {
    QString text;
    const qsizetype end = quoted.size() - 1;
    for (qsizetype i = 1; i < end; ++i) {
        const QChar c = quoted[i];
        if (c != u'\\' || i + 1 >= end) {
            text += c;
        } else if (quoted[i + 1] == u'\\' || quoted[i + 1] == u'"') {
            text += quoted[++i];
        } else if (quoted[i + 1] == u'x' && i + 3 < end) {
            bool ok = false;
            const int code = quoted.mid(i + 2, 2).toInt(&ok, 16);
            // An escape this writer never makes is kept as written.
            text += ok ? QString(QChar(code)) : quoted.mid(i, 4);
            i += 3;
        } else {
            text += c;
        }
    }
    return text;
}

QString value_of(const QString& raw) {
    if (raw.size() >= 2 && raw.startsWith(u'"') && raw.endsWith(u'"')) return unquote(raw);
    return raw;
}

bool needs_quotes(const QString& value) {
    if (value.isEmpty()) return false;
    if (value.front().isSpace() || value.back().isSpace() || value.front() == u'"') return true;
    for (QChar c : value)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
    return false;
}

QString quoted(const QString& value) {
    QString text = QStringLiteral("\"");
    for (QChar c : value) {
        if (c == u'\\' || c == u'"')
            text += u'\\' + QString(c);
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            text += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text + u'"';
}

} // namespace

IniValues parse_ini_text(const QByteArray& text) {
    IniValues values;
    QString section; // keys above the first section header have none
    // Read as file names are: a folder whose name is not UTF-8 reads back as the same bytes.
    QString content = name_from_bytes(text);
    if (content.startsWith(QChar(0xfeff))) content.remove(0, 1);
    for (const QString& raw_line : content.split(u'\n')) {
        const QString line = raw_line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(equals).trimmed();
        if (equals < 0 || key.isEmpty()) continue;
        const QString path = section.isEmpty() ? key : section + u'/' + key;
        values.emplace_back(path, value_of(line.mid(equals + 1).trimmed()));
    }
    return values;
}

QByteArray format_ini_text(const IniValues& values) {
    QStringList sections{QString()};
    QList<QStringList> lines{QStringList()};
    for (const auto& [path, value] : values) {
        const qsizetype slash = path.lastIndexOf(u'/');
        const QString section = slash < 0 ? QString() : path.left(slash);
        qsizetype index = sections.indexOf(section);
        if (index < 0) {
            index = sections.size();
            sections.append(section);
            lines.append(QStringList());
        }
        lines[index].append(path.mid(slash + 1) + u'=' +
                            (needs_quotes(value) ? quoted(value) : value));
    }
    QString text;
    for (const QString& line : lines[0])
        text += line + u'\n';
    for (qsizetype i = 1; i < sections.size(); ++i) {
        if (!text.isEmpty()) text += u'\n';
        text += u'[' + sections[i] + QStringLiteral("]\n") + lines[i].join(u'\n') + u'\n';
    }
    return name_to_bytes(text);
}

} // namespace platform
