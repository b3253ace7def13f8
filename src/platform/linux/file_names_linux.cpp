#include "platform/file_names.h"

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char16_t kKeptByte = 0xDC00; // a kept byte b is the lone surrogate kKeptByte + b

// Whether text[i] is a kept byte: in the kept range and not the second half of a pair (a
// character such as U+1F4A9 has its low surrogate in that range too).
bool is_kept_byte(QStringView text, qsizetype i) {
    const char16_t c = text[i].unicode();
    return c >= kKeptByte + 0x80 && c <= kKeptByte + 0xFF &&
           (i == 0 || !text[i - 1].isHighSurrogate());
}

// The length of the well-formed UTF-8 sequence at `p` (at most `left` bytes) and its code
// point; 0 when the bytes there are not one (overlong forms and encoded surrogates included).
int utf8_sequence(const unsigned char* p, qsizetype left, char32_t& code) {
    const unsigned char b = p[0];
    int n;
    char32_t min;
    if (b < 0x80) {
        code = b;
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        n = 2, min = 0x80, code = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3, min = 0x800, code = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4, min = 0x10000, code = b & 0x07;
    } else {
        return 0;
    }
    if (left < n) return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return n;
}

bool has_kept_bytes(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i)
        if (is_kept_byte(name, i)) return true;
    return false;
}

// The part read as Shift-JIS (Windows' code page 932), or a null string when it is not that.
QString from_shift_jis(const QByteArray& bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == iconv_t(-1)) return {};
    QByteArray out(bytes.size() * 3 + 4, Qt::Uninitialized);
    char* in_p = const_cast<char*>(bytes.constData());
    size_t in_left = size_t(bytes.size());
    char* out_p = out.data();
    size_t out_left = size_t(out.size());
    const bool whole = iconv(cd, &in_p, &in_left, &out_p, &out_left) != size_t(-1) && in_left == 0;
    iconv_close(cd);
    if (!whole) return {};
    out.truncate(out.size() - qsizetype(out_left));
    return QString::fromUtf8(out);
}

QString readable_part(const QString& part) {
    if (!has_kept_bytes(part)) return part;
    if (QString text = from_shift_jis(name_to_bytes(part)); !text.isNull()) return text;
    QString text = part;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (is_kept_byte(part, i)) text[i] = QChar::ReplacementCharacter;
    return text;
}

} // namespace

QString name_from_bytes(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t code = 0;
        if (const int n = utf8_sequence(p + i, bytes.size() - i, code)) {
            if (code < 0x10000) {
                name += QChar(char16_t(code));
            } else {
                name += QChar::highSurrogate(code);
                name += QChar::lowSurrogate(code);
            }
            i += n;
        } else {
            name += QChar(char16_t(kKeptByte + p[i++]));
        }
    }
    return name;
}

QByteArray name_to_bytes(const QString& name) {
    if (!has_kept_bytes(name)) return name.toUtf8();
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !is_kept_byte(name, i)) continue;
        bytes += QStringView(name).sliced(from, i - from).toUtf8();
        if (i < name.size()) bytes += char(name[i].unicode() - kKeptByte);
        from = i + 1;
    }
    return bytes;
}

QString command_line_argument(int argc, char** argv, int index) {
    return index < argc ? name_from_bytes(QByteArray(argv[index])) : QString();
}

QString readable_name(const QString& name) {
    if (!has_kept_bytes(name)) return name;
    QStringList parts = name.split(QLatin1Char('/'));
    for (QString& part : parts)
        part = readable_part(part);
    return parts.join(QLatin1Char('/'));
}

QString current_folder() {
    const std::unique_ptr<char, void (*)(void*)> path(::getcwd(nullptr, 0), std::free);
    return path ? name_from_bytes(QByteArray(path.get())) : QString();
}

bool open_for_reading(QFile& file, const QString& path, QString* why) {
    const int fd =
        path.isEmpty() ? -1 : ::open(name_to_bytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (why) *why = QString::fromLocal8Bit(std::strerror(path.isEmpty() ? ENOENT : errno));
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (why) *why = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

bool is_folder(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(name_to_bytes(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

FileStamp file_stamp(const QString& path) {
    struct stat st {};
    if (path.isEmpty() || ::stat(name_to_bytes(path).constData(), &st) != 0) return {};
    const auto ns = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return {qint64(st.st_size), ns(st.st_mtim), ns(st.st_ctim), quint64(st.st_dev),
            quint64(st.st_ino)};
}

} // namespace platform
