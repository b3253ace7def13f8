#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

namespace platform {

// File names as the file system holds them. Where names are bytes, a name that is not valid
// UTF-8 (Shift-JIS names from old archives) keeps each byte that does not decode as a lone
// surrogate U+DC80..U+DCFF, so that the text always leads back to the very same file. Every
// path handed to the system goes through name_to_bytes, never through Qt's own conversion,
// which would turn those bytes into question marks.
QString name_from_bytes(const QByteArray& bytes);
QByteArray name_to_bytes(const QString& name);

// Argument `index` of the program's command line as a file name, as the system passed it;
// empty when there is none. Call it once the application object exists.
QString command_line_argument(int argc, char** argv, int index);

// The text to show a person for a path or name: each part holding kept bytes is read as
// Shift-JIS when it is that, otherwise its kept bytes show as U+FFFD. Other text is unchanged.
QString readable_name(const QString& name);

// The folder the program runs in (where it was started), as a name that leads back to it;
// empty when it has gone.
QString current_folder();

// Opens `path` for reading into `file` (which must not be open); false, with the reason in
// `why`, when it cannot be opened.
bool open_for_reading(QFile& file, const QString& path, QString* why = nullptr);

// Whether `path` leads (through links) to a folder.
bool is_folder(const QString& path);

// What tells the file `path` leads to from any other and from itself at another moment; size
// -1 when there is none. The modification time alone can be set back (copies keeping times,
// unpacked archives), so which file it is and the time of its last change of any kind count.
struct FileStamp {
    qint64 size = -1;
    qint64 modified_ns = 0;
    qint64 changed_ns = 0; // content or attributes, set by the system alone
    quint64 volume = 0;
    quint64 file_id = 0; // within the volume
    bool operator==(const FileStamp&) const = default;
};
FileStamp file_stamp(const QString& path);

} // namespace platform
