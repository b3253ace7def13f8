// File types, the folder listing that fills the play list, and drives that cannot be read.
#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "platform/file_names.h"
#include "support/test_env.h"
#include "toolkit/drive_list_box.h"
#include "toolkit/folder_listing.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace Module2;
using test_env::entries;

namespace {

void set_flags(std::array<int, 3> f) {
    std::tie(options.opc1_flag, options.opc2_flag, options.opc3_flag) =
        std::tuple<byte, byte, byte>(f[0], f[1], f[2]);
    set_pattern();
}

// The entries, those under `root` relative to it.
QStringList names_under(const QString& root) {
    QStringList out;
    for (const QString& e : entries())
        out.push_back(e.startsWith(root + QDir::separator()) ? e.mid(root.size() + 1) : e);
    return out;
}

// The entry a listing of `folder` should give for `name`.
QString entry(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(QDir::cleanPath(folder)) + QDir::separator() + name;
}

TEST(Listing, FolderGivesMatchingFilesInNameOrder) {
    // What, the three type flags, the files in the folder, the entries expected.
    const QString japanese = QStringLiteral("桜の花 「春」.jpg");
    const std::tuple<const char*, std::array<int, 3>, QStringList, QStringList> rows[] = {
        {"types 1 1 0", {1, 1, 0}, {"b.BMP", "a.jpg", "c.gif"}, {"a.jpg", "b.BMP"}},
        {"only the value 1 switches a type on",
         {255, 2, 1},
         {"a.bmp", "b.jpg", "c.gif"},
         {"c.gif"}},
        {"case-insensitive order",
         {1, 1, 1},
         {"B.jpg", "a.GIF", "c.Bmp", "A2.dib", "d.EMF"},
         {"a.GIF", "A2.dib", "B.jpg", "c.Bmp", "d.EMF"}},
        {"hidden files never", {1, 1, 1}, {".hidden.jpg", ".x.bmp", "shown.jpg"}, {"shown.jpg"}},
        {"wmf with the bitmaps", {1, 0, 0}, {"m.wmf", "m.emf", "m.jpg"}, {"m.emf", "m.wmf"}},
        {"jpeg with jpg",
         {0, 1, 0},
         {"a.jpeg", "b.JPEG", "c.jpg", "d.bmp"},
         {"a.jpeg", "b.JPEG", "c.jpg"}},
        {"all types off", {0, 0, 0}, {"a.bmp", "b.jpg", "c.gif"}, {}},
        {"other files", {1, 1, 1}, {"a.png", "a.jpe", "a.jpg.txt", "a.tif"}, {}},
        {"awkward names",
         {1, 1, 1},
         {"with space.jpg", "quote's \"q\".bmp", japanese, "semi;colon.gif"},
         {"quote's \"q\".bmp", "semi;colon.gif", "with space.jpg", japanese}},
    };
    for (const auto& [what, flags, files, names] : rows) {
        test_env::fresh_program();
        test_env::TempTree tree;
        for (const QString& f : files)
            tree.file(f);
        tree.folder("sub.jpg"); // a folder is never a picture
        set_flags(flags);
        // Asked for with a trailing separator, the entries still have exactly one.
        main_fm->Dir1.setPath(tree.path() + QDir::separator());
        QStringList expected;
        for (const QString& name : names)
            expected.push_back(entry(tree.path(), name));
        EXPECT_EQ(entries(), expected) << what;
        EXPECT_EQ(main_fm->listing.old_path, entry(tree.path(), ""));
    }
    const QString sep = QDir::separator(); // the root folder
    EXPECT_EQ(tk::join_path(sep, "a.bmp"), sep + "a.bmp");
}

// Which names are excluded: Search.DepthFirstLastSubfolderFirstFilesAfterwards.
TEST(Listing, ExcludedFolderGivesNoEntriesAndKeepsTheLastListing) {
    test_env::fresh_program();
    test_env::TempTree tree;
    tree.file("before.jpg");
    const QString folder = tree.folder("x/Temporary Internet Files/Content.IE5");
    tree.file("x/Temporary Internet Files/Content.IE5/in.jpg");
    set_flags({1, 1, 0});
    main_fm->Dir1.setPath(tree.path());
    const QString file_path = main_fm->File1.path(), old_path = main_fm->listing.old_path;
    main_fm->Dir1.setPath(folder);
    EXPECT_EQ(entries(), QStringList());
    EXPECT_EQ(std::pair(main_fm->File1.path(), main_fm->listing.old_path),
              std::pair(file_path, old_path));
}

// The current entry forgotten with its labels: Search.TheReplacedListHasNoCurrentEntry; a
// search stopped: Search.StopRequestsEndTheSearchAtTheNextFolder.
TEST(Listing, RebuildStopsTheShow) {
    test_env::fresh_program();
    test_env::TempTree tree;
    tree.file("a.jpg");
    main_fm->Timer1.setEnabled(true);
    play.play_flag = 1;
    kensaku_set->Label1.setCaption("4");
    main_fm->Dir1.setPath(tree.path());
    EXPECT_EQ(std::tuple(play.play_flag, main_fm->Timer1.enabled(), kensaku_set->Label1.caption()),
              std::tuple(0, false, ""));
}

// The list holds 32,767 entries: a listing stops there quietly, a search with one message and
// nothing more from the folders it passes afterwards.
TEST(Listing, FullFolderOrSearchStopsAtTheListLimit) {
    test_env::fresh_program();
    QTemporaryDir dir(test_env::memory_place());
    ASSERT_TRUE(dir.isValid());
    const QString root = QDir::toNativeSeparators(dir.path()), folder = entry(root, "b");
    for (const char* name : {"/a", "/b"}) // "b" is searched first, then "a", then the top
        QDir().mkdir(dir.path() + name);
    for (const char* name : {"/a/x.jpg", "/top.jpg"})
        test_env::touch(QFile::encodeName(root) + name);
    for (int i = 0; i < 32800; ++i)
        test_env::touch(QFile::encodeName(folder) + QString::asprintf("/p%05d.jpg", i).toLatin1());
    set_flags({1, 1, 0});
    main_fm->Dir1.setPath(folder);
    ASSERT_EQ(main_fm->List1.listCount(), tk::ListBox::kMaxEntries);
    EXPECT_EQ(main_fm->List1.list(0), entry(folder, "p00000.jpg"));
    EXPECT_EQ(main_fm->List1.list(32766), entry(folder, "p32766.jpg"));
    EXPECT_TRUE(test_env::messages().isEmpty());
    // Every entry marked: the show steps round the whole list without freezing the window.
    QElapsedTimer timer;
    timer.start();
    main_fm->Command6_Click();
    play.play_no = 32766;
    main_fm->play_next();
    EXPECT_EQ(play.play_no, 0);
    main_fm->play_back();
    EXPECT_EQ(play.play_no, 32766);
    EXPECT_LT(timer.elapsed(), 3000);
    main_fm->Dir1.setPath(root);
    kensaku_set->Command7.click();
    EXPECT_EQ(std::pair(main_fm->List1.listCount(), search.hit_count),
              std::pair(tk::ListBox::kMaxEntries, tk::ListBox::kMaxEntries));
    EXPECT_EQ(test_env::messages(),
              QStringList{texts::kMessageTitle + QLatin1Char('|') + texts::kListFull});
}

TEST(Listing, VanishedOrUnreadableFolderGivesAnEmptyList) {
    for (const bool vanish : {true, false}) {
        if (!vanish && geteuid() == 0) continue; // permissions do not bind root
        test_env::fresh_program();
        test_env::TempTree tree;
        const QString folder = tree.folder("gone");
        tree.file("gone/a.jpg");
        set_flags({1, 1, 0});
        main_fm->Dir1.setPath(folder);
        ASSERT_EQ(main_fm->List1.listCount(), 1);
        if (vanish)
            ASSERT_TRUE(QDir(folder).removeRecursively());
        else
            ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0), 0);
        main_fm->Dir1_Change();
        EXPECT_EQ(main_fm->List1.listCount(), 0) << vanish;
        chmod(QFile::encodeName(folder).constData(), 0700);
    }
}

// Drives made up for a test; those in `unready` cannot be read.
struct FakeDrives {
    FakeDrives(QStringList drives, QStringList unready_drives)
        : unready(std::make_shared<QStringList>(unready_drives)) {
        tk::DriveServices& s = tk::drive_services();
        s.list = [drives] { return drives; };
        s.drive_of = [drives](const QString& path) {
            QString best;
            for (const QString& d : drives)
                if (tk::with_separator(path).startsWith(d) && d.size() > best.size()) best = d;
            return best;
        };
        s.ready = [unready = unready](const QString& drive, QString* why) {
            if (unready->contains(drive)) *why = QStringLiteral("No medium found");
            return !unready->contains(drive);
        };
    }
    ~FakeDrives() { tk::drive_services() = saved; }
    tk::DriveServices saved = tk::drive_services();
    std::shared_ptr<QStringList> unready;
};

TEST(Listing, UnreadableDriveReturnsToTheLastGoodOne) {
    const QString sep = QDir::separator();
    test_env::TempTree good_tree;
    const QString good = tk::with_separator(good_tree.path());
    const QString sub = good_tree.folder("sub");
    good_tree.file("sub/a.jpg");
    const QString bad = sep + "pikuta-no-medium" + sep;
    const QString message =
        texts::kMessageTitle + QLatin1Char('|') + texts::drive_unreadable("%1", "No medium found");
    const QString good_root = QDir::toNativeSeparators(QDir::cleanPath(good));
    // What, a change to the good drive succeeded first, the folder shown when the bad drive is
    // chosen, the good drive is gone too by then, messages (bad drive, then good), the folder
    // shown afterwards.
    const std::tuple<const char*, bool, QString, bool, int, QString> rows[] = {
        {"the folder lies on the drive gone back to: the user keeps the place", true, sub, false, 1,
         sub},
        {"before any drive change: back to the folder's drive, the folder stays", false, sub, false,
         1, sub},
        {"the folder lies elsewhere: the drive gone back to opens", true, sep, false, 1, good_root},
        {"the drive gone back to is gone too: one more message and no more", true, sep, true, 2,
         sep},
    };
    for (const auto& [what, good_chosen, folder, good_gone, message_count, folder_after] : rows) {
        SCOPED_TRACE(what);
        FakeDrives fake({sep, good, bad}, {bad});
        test_env::fresh_program();
        if (good_chosen) main_fm->Drive1.setDrive(good);
        main_fm->Dir1.setPath(folder);
        const QStringList listed = entries();
        if (!listed.isEmpty()) main_fm->List1.setSelected(0, true);
        if (good_gone) fake.unready->push_back(good);
        main_fm->Drive1.setDrive(bad);
        const QStringList expected =
            QStringList{message.arg(bad), message.arg(good)}.mid(0, message_count);
        EXPECT_EQ(test_env::messages(), expected);
        EXPECT_EQ(main_fm->Drive1.drive(), good);
        EXPECT_EQ(main_fm->listing.old_drive, good_chosen ? good : "");
        EXPECT_EQ(main_fm->Dir1.path(), folder_after);
        if (folder_after == folder) { // nothing was listed again: the marks stay
            EXPECT_EQ(entries(), listed);
            EXPECT_EQ(main_fm->List1.selected(0), !listed.isEmpty());
        }
        main_fm.unload();
        test_env::settle();
    }
}

TEST(Listing, DriveListReadsTheDrivesAgainWhenOpened) {
    const QString sep = QDir::separator();
    FakeDrives fake({sep}, {});
    test_env::fresh_program();
    auto* combo = static_cast<QComboBox*>(main_fm->Drive1.widget());
    ASSERT_EQ(combo->count(), 1);
    const QString stick = sep + "media" + sep + "stick" + sep; // mounted after start
    tk::drive_services().list = [=] { return QStringList{sep, stick}; };
    main_fm->Show();
    combo->showPopup();
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), sep);
    combo->hidePopup();
}

TEST(Listing, StartListsTheFolderShownWhenNoListingRan) {
    test_env::TempTree shown;
    for (const char* name : {"a.bmp", "b.jpg", "c.wmf", "d.gif"})
        shown.file(name);
    // Named in Latin-1, as folders unpacked from old archives are.
    const QByteArray cafe = platform::name_to_bytes(shown.path()) + "/caf\xE9";
    ASSERT_EQ(mkdir(cafe.constData(), 0700), 0);
    test_env::touch(cafe + "/e.jpg");
    const QByteArray cwd = QFile::encodeName(QDir::currentPath());
    // What; the folder the program starts in (the folder lists open there); the folder in the
    // settings, with types jpg and gif (none when empty); the names listed.
    const std::tuple<const char*, QString, QString, QStringList> rows[] = {
        {"nothing stored: the folder shown, by the default types",
         shown.path(),
         {},
         {"a.bmp", "b.jpg", "c.wmf"}},
        {"the folder shown is stored: listed once, by the stored types",
         shown.path(),
         shown.path(),
         {"b.jpg", "d.gif"}},
        {"a folder shown whose name is not UTF-8", platform::name_from_bytes(cafe), {}, {"e.jpg"}},
    };
    for (const auto& [what, start, stored, names] : rows) {
        SCOPED_TRACE(what);
        ASSERT_EQ(::chdir(platform::name_to_bytes(start).constData()), 0);
        test_env::MemoryStore& store = test_env::fresh_program();
        if (!stored.isEmpty()) store.values = test_env::full_store(stored);
        EXPECT_EQ(names_under(main_fm->Dir1.path()), names);
        // The very folder, the one the settings will keep.
        EXPECT_EQ(main_fm->Dir1.path(), stored.isEmpty() ? start : stored);
    }
    ASSERT_EQ(::chdir(cwd.constData()), 0);
    std::filesystem::remove_all(cafe.constData()); // a name Qt could not remove
}

TEST(Listing, OpenPathAsIfChosenOrSayWhyNot) {
    // What, the path opened (under the tree); then the folder open afterwards, the entries,
    // the current entry (-1 none; it is marked and on show), and the status line's message.
    const QStringList searched{"/searched/z.bmp"}, pics{"pics/a.bmp", "pics/b.bmp"};
    const QString not_found = texts::path_not_found({}), not_listed = texts::not_listed_type({});
    const std::tuple<const char*, QString, QString, QStringList, int, QString> rows[] = {
        {"a folder", "pics", "pics", pics, -1, {}},
        {"a picture", "pics/b.bmp", "pics", pics, 1, {}},
        {"a picture of the folder open, listed afresh",
         "other/d.bmp",
         "other",
         {"other/d.bmp"},
         0,
         {}},
        {"missing", "pics/none.bmp", "other", searched, -1, not_found},
        {"a type not chosen", "pics/c.gif", "other", searched, -1, not_listed},
        {"not a picture", "pics/notes.txt", "other", searched, -1, not_listed},
        {"an excluded folder", "Netscape/e.bmp", "other", searched, -1, not_listed},
    };
    for (const auto& [what, path, folder, names, current, message] : rows) {
        SCOPED_TRACE(what);
        test_env::fresh_program();
        test_env::TempTree tree;
        for (const char* name : {"pics/a.bmp", "pics/b.bmp", "other/d.bmp", "Netscape/e.bmp"})
            tree.bmp(name);
        tree.file("pics/c.gif");
        tree.file("pics/notes.txt");
        set_flags({1, 1, 0});
        MainForm& m = *main_fm;
        const auto full = [&](const QString& relative) {
            return QDir::toNativeSeparators(tree.path() + '/' + relative);
        };
        m.Dir1.setPath(full("other"));
        m.List1.clear(); // a search found something else meanwhile
        m.List1.addItem(searched[0]);
        m.open_path(full(path));
        test_env::settle();
        EXPECT_EQ(m.Dir1.path(), full(folder));
        EXPECT_EQ(names_under(tree.path()), names);
        EXPECT_EQ(std::tuple(m.List1.listIndex(), play.play_no), std::tuple(current, current));
        const QString shown = current < 0 ? QString() : full(names[current]);
        EXPECT_EQ(std::tuple(m.List1.selected(current), m.Label2.caption(), m.Label7.caption()),
                  std::tuple(current >= 0, current < 0 ? "" : QString::number(current + 1), shown));
        EXPECT_EQ(m.Label5.caption(), message.isEmpty() ? shown : message + full(path));
    }
}

} // namespace
