#include "app/forms.h"
#include "app/module2.h"
#include "support/test_env.h"
#include "toolkit/lists.h"
#include "ui/kensaku_set.h"
#include "ui/main_fm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace Module2;

namespace {

QStringList entries()
{
    QStringList out;
    for (int i = 0; i < main_fm->List1.listCount(); ++i)
        out.push_back(main_fm->List1.list(i));
    return out;
}

void set_flags(int f1, int f2, int f3)
{
    opc1_flag = static_cast<byte>(f1);
    opc2_flag = static_cast<byte>(f2);
    opc3_flag = static_cast<byte>(f3);
    set_pattern();
}

// The folder as the folder list names it, and the entry it should give for `name`.
QString entry(const QString& folder, const QString& name)
{
    return QDir::toNativeSeparators(QDir::cleanPath(folder)) + QDir::separator() + name;
}

} // namespace

TEST(Listing, PatternFollowsTheThreeTypeFlags)
{
    test_env::fresh_program();
    struct Row {
        int f1, f2, f3;
        const char* pattern;
    };
    const Row rows[] = {
        {1, 0, 0, "*.bmp;*.dib;*.emf"},
        {0, 1, 0, "*.jpg"},
        {0, 0, 1, "*.gif"},
        {1, 1, 0, "*.bmp;*.dib;*.emf;*.jpg"},
        {1, 0, 1, "*.bmp;*.dib;*.emf;*.gif"},
        {0, 1, 1, "*.jpg;*.gif"},
        {1, 1, 1, "*.bmp;*.dib;*.emf;*.jpg;*.gif"},
        {0, 0, 0, ""},
        // Only the value 1 switches a group on.
        {2, 1, 2, "*.jpg"},
        {255, 2, 1, "*.gif"},
        {2, 2, 2, ""},
    };
    for (const Row& r : rows) {
        set_flags(r.f1, r.f2, r.f3);
        EXPECT_EQ(main_fm->File1.pattern(), QString::fromUtf8(r.pattern))
            << r.f1 << r.f2 << r.f3;
    }
}

TEST(Listing, FolderGivesMatchingFilesInNameOrder)
{
    struct Row {
        const char* what;
        int f1, f2, f3;
        QStringList files;
        QStringList expected;
    };
    const QString japanese = QStringLiteral("桜の花 「春」.jpg");
    const Row rows[] = {
        {"types 1 1 0", 1, 1, 0, {"b.BMP", "a.jpg", "c.gif"}, {"a.jpg", "b.BMP"}},
        {"gif only", 0, 0, 1, {"b.BMP", "a.jpg", "c.gif"}, {"c.gif"}},
        {"case-insensitive order", 1, 1, 1,
         {"B.jpg", "a.GIF", "c.Bmp", "A2.dib", "d.EMF"},
         {"a.GIF", "A2.dib", "B.jpg", "c.Bmp", "d.EMF"}},
        {"hidden files never", 1, 1, 1, {".hidden.jpg", ".x.bmp", "shown.jpg"}, {"shown.jpg"}},
        {"wmf never after set_pattern", 1, 1, 1, {"m.wmf", "m.emf"}, {"m.emf"}},
        {"all types off", 0, 0, 0, {"a.bmp", "b.jpg", "c.gif"}, {}},
        {"flags of 2 are off", 2, 1, 2, {"a.bmp", "b.jpg", "c.gif"}, {"b.jpg"}},
        {"other files", 1, 1, 1, {"a.png", "a.jpeg", "a.jpg.txt", "a.tif"}, {}},
        {"awkward names", 1, 1, 1,
         {"with space.jpg", "quote's \"q\".bmp", japanese, "semi;colon.gif"},
         {"quote's \"q\".bmp", "semi;colon.gif", "with space.jpg", japanese}},
    };
    for (const Row& r : rows) {
        test_env::fresh_program();
        test_env::TempTree tree;
        for (const QString& f : r.files)
            tree.file(f);
        tree.folder("sub.jpg"); // a folder is never a picture
        set_flags(r.f1, r.f2, r.f3);
        main_fm->Dir1.setPath(tree.path());
        QStringList expected;
        for (const QString& name : r.expected)
            expected.push_back(entry(tree.path(), name));
        EXPECT_EQ(entries(), expected) << r.what;
        EXPECT_EQ(main_fm->old_path, entry(tree.path(), ""));
    }
}

TEST(Listing, EntriesHaveExactlyOneSeparator)
{
    const QString sep = QDir::separator();
    EXPECT_EQ(tk::join_path(sep, "a.bmp"), sep + "a.bmp");
    EXPECT_EQ(tk::with_separator(sep), sep);
    EXPECT_EQ(tk::join_path("/pics" + sep, "a.bmp"), "/pics" + sep + "a.bmp");
    EXPECT_EQ(tk::join_path("/pics", "a.bmp"), "/pics" + sep + "a.bmp");

    test_env::fresh_program();
    test_env::TempTree tree;
    tree.file("a.jpg");
    set_flags(1, 1, 0);
    main_fm->Dir1.setPath(tree.path() + sep); // asked for with a trailing separator
    EXPECT_EQ(entries(), QStringList{entry(tree.path(), "a.jpg")});
}

TEST(Listing, StartupListingUsesTheInitialPattern)
{
    test_env::TempTree tree;
    tree.file("m.wmf");
    tree.file("p.jpg");
    tree.file("g.gif");
    test_env::MemoryStore& store = test_env::fresh_program();
    for (const char* key : {"n_left", "n_top", "w_width", "w_height", "w_left", "w_top"})
        store.values[key] = "0";
    store.values["opc1_flag"] = "1";
    store.values["opc2_flag"] = "1";
    store.values["opc3_flag"] = "1";
    store.values["opc4_flag"] = "0";
    store.values["HScroll1_Value"] = "3";
    store.values["f_path"] = tree.path();
    ASSERT_EQ(main_fm->Dir1.path(), QDir::toNativeSeparators(QDir::cleanPath(tree.path())));
    EXPECT_EQ(entries(), (QStringList{entry(tree.path(), "m.wmf"), entry(tree.path(), "p.jpg")}));
    EXPECT_EQ(main_fm->File1.pattern(), "*.bmp;*.dib;*.emf;*.jpg;*.gif");
    main_fm->Dir1_Change();
    EXPECT_EQ(entries(), (QStringList{entry(tree.path(), "g.gif"), entry(tree.path(), "p.jpg")}));
}

TEST(Listing, ExcludedFoldersGiveNoEntries)
{
    struct Row {
        const char* folder;
        bool listed;
    };
    const Row rows[] = {
        {"Temporary Internet Files", false},
        {"x/Temporary Internet Files/Content.IE5", false},
        {"Netscape", false},
        {"my Netscape cache", false},
        {"netscape", true},
        {"temporary internet files", true},
    };
    for (const Row& r : rows) {
        test_env::fresh_program();
        test_env::TempTree tree;
        tree.file("before.jpg");
        const QString folder = tree.folder(r.folder);
        tree.file(QString(r.folder) + "/in.jpg");
        set_flags(1, 1, 0);
        main_fm->Dir1.setPath(tree.path());
        const QString file_path = main_fm->File1.path();
        const QString old_path = main_fm->old_path;
        main_fm->Dir1.setPath(folder);
        if (r.listed) {
            EXPECT_EQ(entries(), QStringList{entry(folder, "in.jpg")}) << r.folder;
            continue;
        }
        EXPECT_EQ(main_fm->List1.listCount(), 0) << r.folder;
        EXPECT_EQ(main_fm->File1.path(), file_path) << r.folder;
        EXPECT_EQ(main_fm->old_path, old_path) << r.folder;
    }
}

TEST(Listing, RebuildStopsTheShowAndClearsTheLabels)
{
    test_env::fresh_program();
    test_env::TempTree tree;
    tree.file("a.jpg");
    main_fm->Timer1.setEnabled(true);
    play_flag = 1;
    play_no = 3;
    kensaku_flag = kSearchRunning;
    main_fm->Label2.setCaption("4");
    main_fm->Label5.setCaption("/old/a.jpg");
    main_fm->Label5.setToolTipText("/old/a.jpg");
    kensaku_set->Label1.setCaption("12 files");
    main_fm->Dir1.setPath(tree.path());
    EXPECT_EQ(play_flag, 0);
    EXPECT_FALSE(main_fm->Timer1.enabled());
    EXPECT_EQ(kensaku_flag, 0);
    EXPECT_EQ(play_no, -1);
    EXPECT_EQ(main_fm->Label2.caption(), "");
    EXPECT_EQ(main_fm->Label5.caption(), "");
    EXPECT_EQ(main_fm->Label5.toolTipText(), "");
    EXPECT_EQ(kensaku_set->Label1.caption(), "");
    EXPECT_EQ(main_fm->List1.listCount(), 1);
}

TEST(Listing, FullFolderStopsAtTheListLimit)
{
    test_env::fresh_program();
    // Thousands of files are made much faster in memory when the system offers it.
    QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/pikuta-XXXXXX" : QString());
    ASSERT_TRUE(dir.isValid());
    const QString folder = QDir::toNativeSeparators(dir.path());
    constexpr int kFiles = 32800;
    QElapsedTimer made;
    made.start();
    for (int i = 0; i < kFiles; ++i) {
        const QString path = folder + QStringLiteral("/p%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
        const QByteArray name = QFile::encodeName(path);
        const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const qint64 make_ms = made.elapsed();
    set_flags(1, 1, 0);
    QElapsedTimer listed;
    listed.start();
    main_fm->Dir1.setPath(folder);
    const qint64 list_ms = listed.elapsed();
    ASSERT_EQ(main_fm->List1.listCount(), tk::ListBox::kMaxEntries);
    EXPECT_EQ(main_fm->List1.list(0), entry(folder, "p00000.jpg"));
    EXPECT_EQ(main_fm->List1.list(32766), entry(folder, "p32766.jpg"));
    EXPECT_TRUE(test_env::messages().isEmpty());
    test_env::settle();
    EXPECT_LT(list_ms, 5000);
    std::printf("[ timing   ] %d files made in %lld ms, listed in %lld ms\n", kFiles, make_ms,
                list_ms);
}

TEST(Listing, VanishedFolderGivesAnEmptyList)
{
    test_env::fresh_program();
    test_env::TempTree tree;
    const QString folder = tree.folder("gone");
    tree.file("gone/a.jpg");
    set_flags(1, 1, 0);
    main_fm->Dir1.setPath(folder);
    ASSERT_EQ(main_fm->List1.listCount(), 1);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    main_fm->Dir1_Change();
    EXPECT_EQ(main_fm->List1.listCount(), 0);
}

TEST(Listing, UnreadableFolderGivesAnEmptyList)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    test_env::fresh_program();
    test_env::TempTree tree;
    const QString locked = tree.folder("locked");
    tree.file("locked/a.jpg");
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0), 0);
    set_flags(1, 1, 0);
    main_fm->Dir1.setPath(tree.path());
    main_fm->Dir1.setPath(locked);
    EXPECT_EQ(main_fm->List1.listCount(), 0);
    chmod(QFile::encodeName(locked).constData(), 0700);
}

namespace {

// Drives made up for a test; those in `unready` cannot be read.
class FakeDrives {
public:
    FakeDrives(QStringList drives, QStringList unready)
        : saved_(tk::drive_services()), unready_(std::make_shared<QStringList>(unready))
    {
        tk::DriveServices& s = tk::drive_services();
        s.list = [drives] { return drives; };
        s.drive_of = [drives](const QString& path) {
            QString best;
            for (const QString& d : drives)
                if (tk::with_separator(path).startsWith(d) && d.size() > best.size())
                    best = d;
            return best;
        };
        s.ready = [unready = unready_](const QString& drive, QString* why) {
            if (!unready->contains(drive))
                return true;
            *why = QStringLiteral("No medium found");
            return false;
        };
    }
    ~FakeDrives() { tk::drive_services() = saved_; }
    void make_unready(const QString& drive) { unready_->push_back(drive); }

private:
    tk::DriveServices saved_;
    std::shared_ptr<QStringList> unready_;
};

} // namespace

TEST(Listing, UnreadableDriveReturnsToTheLastGoodOne)
{
    const QString sep = QDir::separator();
    test_env::TempTree good_tree;
    const QString good = tk::with_separator(good_tree.path());
    const QString sub = good_tree.folder("sub");
    const QString bad = sep + "pikuta-no-medium" + sep;
    const QString message =
        kMessageTitle + QStringLiteral("|ドライブ ") + bad + QStringLiteral(" No medium found");
    struct Row {
        const char* what;
        bool good_change_first; // otherwise old_drive is still empty
    };
    for (const Row r : {Row{"after a good drive", true}, Row{"before any drive", false}}) {
        FakeDrives fake({sep, good, bad}, {bad});
        test_env::fresh_program();
        if (r.good_change_first) {
            main_fm->Drive1.setDrive(good);
            ASSERT_EQ(main_fm->old_drive, good);
        }
        main_fm->Dir1.setPath(sub);
        ASSERT_EQ(main_fm->old_drive.isEmpty(), !r.good_change_first);

        main_fm->Drive1.setDrive(bad);
        EXPECT_EQ(test_env::messages(), QStringList{message}) << r.what;
        EXPECT_EQ(main_fm->Drive1.drive(), good) << r.what;
        EXPECT_EQ(main_fm->old_drive, good) << r.what;
        // The handler runs again for the drive it went back to and opens that drive.
        EXPECT_EQ(main_fm->Dir1.path(), QDir::toNativeSeparators(QDir::cleanPath(good)))
            << r.what;
        main_fm.unload();
        test_env::settle();
    }
}

TEST(Listing, LastGoodDriveGoneTooEndsAfterTwoMessages)
{
    const QString sep = QDir::separator();
    test_env::TempTree good_tree;
    const QString good = tk::with_separator(good_tree.path());
    const QString bad = sep + "pikuta-no-medium" + sep;
    FakeDrives fake({sep, good, bad}, {bad});
    test_env::fresh_program();
    main_fm->Drive1.setDrive(good);
    fake.make_unready(good);
    main_fm->Drive1.setDrive(bad);
    const QString title = kMessageTitle + QStringLiteral("|ドライブ ");
    EXPECT_EQ(test_env::messages(), (QStringList{title + bad + " No medium found",
                                                 title + good + " No medium found"}));
    EXPECT_EQ(main_fm->Drive1.drive(), good);
    EXPECT_EQ(main_fm->old_drive, good);
    main_fm.unload();
    test_env::settle();
}
