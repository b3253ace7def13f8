#include "platform/file_names.h"
#include "platform/settings_store.h"
#include "support/platform_env.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <utility>
#include <vector>

using platform::open_user_settings;

namespace {

// A fresh, empty per-user configuration folder for the lifetime of the object.
class ConfigHome {
  public:
    ConfigHome() : saved_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    }
    ~ConfigHome() {
        if (saved_.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", saved_);
    }
    QString folder() const { return dir_.filePath(QStringLiteral("PIKUTA")); }
    QString file() const { return folder() + QStringLiteral("/PIKUTA.ini"); }
    void put_file(const QByteArray& content) const {
        QDir().mkpath(folder());
        QFile out(file());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
    }
    QByteArray content() const {
        QFile in(file());
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

  private:
    QByteArray saved_;
    QTemporaryDir dir_;
};

QString read_back(const QString& key) {
    return open_user_settings()->read(QStringLiteral("PIKUTA"), QStringLiteral("Startup"), key);
}

bool store(const std::vector<std::pair<QString, QString>>& values) {
    auto settings = open_user_settings();
    for (const auto& [key, value] : values)
        settings->write(QStringLiteral("PIKUTA"), QStringLiteral("Startup"), key, value);
    return settings->flush();
}

} // namespace

TEST(SettingsStore, AnyTextIsKeptAsPlainTextUnderTheUsersConfigFolderAndReadsBackAsWritten) {
    const QString folder = QString::fromUtf8("/home/me/写真 2024, 夏/a b");
    for (const QString& value : std::initializer_list<QString>{
             folder, "", " leading and trailing blanks ", "\"quoted\"", "a\\b\\x41\\\"",
             "line\nbreak\r\ttab", "a=b; not a comment", "# not a comment", "@Variant(junk)",
             "[Startup]", "a,b,c",
             platform::name_from_bytes("/home/me/\x8d\xf7/")}) { // a Shift-JIS folder name
        ConfigHome home;
        ASSERT_TRUE(store({{"f_path", value}, {"n_left", "-120"}}));
        EXPECT_EQ(platform::user_settings_location(), home.file());
        // Read in a fresh place: the process keeps what it wrote, the next start has the file.
        ConfigHome next_start;
        next_start.put_file(home.content());
        EXPECT_EQ(read_back("f_path"), value) << home.content().toStdString();
        EXPECT_EQ(read_back("n_left"), "-120") << home.content().toStdString();
        if (value != folder) continue;
        const QString text = QString::fromUtf8(home.content());
        EXPECT_TRUE(text.startsWith("[Startup]\n") && text.contains("\nn_left=-120\n") &&
                    text.contains("\nf_path=" + folder + "\n"))
            << text.toStdString();
    }
}

TEST(SettingsStore, HandWrittenMissingOrDamagedFilesReadAsTheirTextAndAreReplaced) {
    const std::pair<QByteArray, const char*> rows[] = {
        {"[Startup]\nf_path=/a, b\n", "/a, b"},
        {"[Startup]\n  f_path = /x y  \n", "/x y"},
        {"[Startup]\nf_path=\"/x y \"\n", "/x y "},
        {"[Startup]\r\nf_path=C:\\new\\x\r\n", "C:\\new\\x"},
        {"\xEF\xBB\xBF[Startup]\nf_path=/bom\n", "/bom"},
        {"[Other]\nf_path=/wrong\n[Startup]\nf_path=/right\n", "/right"},
        {"[Startup]\nn_left=5\n", ""},
        {"f_path=/no/section\n", ""},
        {QByteArray(), ""}, // no file
        {"", ""},
        {QByteArray("\0\xff\xfe[[[=\n=\n[\n\x80\x81=\x82\n", 16), ""},
        {QByteArray(1 << 20, 'x'), ""},
    };
    for (const auto& [file, expected] : rows) {
        SCOPED_TRACE(file.left(32).toStdString());
        ConfigHome home;
        if (!file.isNull()) home.put_file(file);
        EXPECT_EQ(read_back("f_path"), QString::fromUtf8(expected));
        ASSERT_TRUE(store({{"n_left", "7"}}));
        EXPECT_EQ(read_back("n_left"), "7");
    }
    // A folder where the file should be: neither readable nor replaceable, even for root.
    ConfigHome home;
    ASSERT_TRUE(QDir().mkpath(home.file()));
    EXPECT_EQ(read_back("n_left"), "");
    EXPECT_FALSE(store({{"n_left", "7"}}));
    EXPECT_TRUE(QFileInfo(home.file()).isDir());
}

TEST(SettingsStore, AFolderThatCannotBeWrittenLeavesTheOldFileWhole) {
    run_unprivileged([] {
        ConfigHome home;
        ASSERT_TRUE(store({{"n_left", "120"}, {"f_path", "/old"}}));
        const QByteArray before = home.content();
        ASSERT_EQ(chmod(QFile::encodeName(home.folder()).constData(), 0555), 0);
        EXPECT_FALSE(store({{"n_left", "-5"}, {"f_path", "/new"}}));
        EXPECT_EQ(home.content(), before);
        EXPECT_EQ(QDir(home.folder()).entryList(QDir::Files), QStringList{"PIKUTA.ini"});
        chmod(QFile::encodeName(home.folder()).constData(), 0755);
    });
}
