// The recursive search on real folder trees, and the search window around it.
#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "app/vrjo.h"
#include "platform/file_names.h"
#include "support/test_env.h"
#include "toolkit/events.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <array>
#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace Module2;
using test_env::entries;

namespace {

// Runs `fn` when events have been served `times` more times: inside the search, at the
// start of a later folder.
void after_event_rounds(int times, std::function<void()> fn) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [times, fn] {
            if (times <= 1)
                fn();
            else
                after_event_rounds(times - 1, fn);
        },
        Qt::QueuedConnection);
}

class Search : public test_env::Program {
  protected:
    KensakuSet& k = *kensaku_set;
    MainForm& m = *main_fm;

    // Searches `folder` as the search button does; the entries relative to `root`.
    QStringList search(const QString& folder, const QString& root) {
        m.Dir1.setPath(folder);
        k.Command7.click();
        QStringList out;
        for (const QString& e : entries())
            out.push_back(e.mid(root.size() + 1));
        EXPECT_EQ(k.Label1.caption(), texts::search_result(Module2::search.hit_count));
        EXPECT_EQ(k.Command7.caption(), texts::kSearchButton);
        EXPECT_EQ(Module2::search.kensaku_flag, 0);
        return out;
    }
};

TEST_F(Search, DepthFirstLastSubfolderFirstFilesAfterwards) {
    // What; the files, a "link>target" a link, a "folder/" one that cannot be read; what the
    // search finds.
    const std::tuple<const char*, QStringList, QStringList> rows[] = {
        {"the order of a folder, its subfolders and theirs",
         {"a.bmp", "S1/b.bmp", "S2/c.bmp", "S2/T/d.bmp"},
         {"S2/T/d.bmp", "S2/c.bmp", "S1/b.bmp", "a.bmp"}},
        {"excluded folders add nothing, nor do those below them; their siblings do",
         {"Temporary Internet Files/x.jpg", "Temporary Internet Files/in/y.jpg",
          "my Netscape/z.jpg", "my Netscape/in/w.jpg", "netscape/n.jpg", "ok/o.jpg"},
         {"ok/o.jpg", "netscape/n.jpg"}},
        {"links back up the way, into a folder searched, or round in a loop: not followed",
         {"x/1.jpg", "y/2.jpg", "x/up>..", "x/here>.", "a>x", "y/loop>../y", "b1>b2", "b2>b1"},
         {"y/2.jpg", "x/1.jpg"}},
        {"a link to a folder not searched yet is followed",
         {"pics/p.jpg", "z/q.jpg", "z/more>../pics"},
         {"z/more/p.jpg", "z/q.jpg", "pics/p.jpg"}},
        {"a folder that cannot be read is skipped, nothing else",
         {"a/1.jpg", "b/2.jpg", "b/in/3.jpg", "c/4.jpg", "top.jpg", "b/"},
         {"c/4.jpg", "a/1.jpg", "top.jpg"}},
        {"nothing to find", {"a.txt", "sub/b.png"}, {}},
    };
    for (const auto& [what, files, expected] : rows) {
        SCOPED_TRACE(what);
        const QStringList locked = files.filter(QRegularExpression("/$"));
        if (!locked.isEmpty() && geteuid() == 0) continue; // permissions do not bind root
        test_env::TempTree tree;
        for (const QString& f : files) {
            const QStringList link = f.split('>');
            if (link.size() == 2)
                ASSERT_EQ(symlink(link[1].toUtf8(), (tree.path() + "/" + link[0]).toUtf8()), 0);
            else if (!f.endsWith('/'))
                tree.file(f);
        }
        for (const QString& f : locked)
            chmod(QFile::encodeName(tree.folder(f)).constData(), 0);
        EXPECT_EQ(search(tree.path(), tree.path()), expected);
        EXPECT_EQ(Module2::search.hit_count, expected.size());
        EXPECT_TRUE(test_env::messages().isEmpty());
        for (const QString& f : locked)
            chmod(QFile::encodeName(tree.folder(f)).constData(), 0700);
    }
    // A start folder given as a drive's root is, ending in the separator, gets one separator.
    test_env::TempTree tree;
    tree.file("r.jpg");
    m.List1.clear();
    EXPECT_EQ(m.DirDiver(tree.path() + QDir::separator(), QString()), 0);
    EXPECT_EQ(entries(), QStringList{tree.path() + QDir::separator() + "r.jpg"});
}

TEST_F(Search, TreeAsDeepAsPathsAllow) {
    QTemporaryDir tree(test_env::memory_place());
    QFile(tree.filePath("top.jpg")).open(QIODevice::WriteOnly);
    // One-letter folders: 2,000 levels, or as many as the system's path length allows.
    const int levels = std::min<int>(2000, (PATH_MAX - tree.path().size() - 16) / 2);
    const QString deep = QString("d/").repeated(levels) + "deep.jpg";
    ASSERT_TRUE(QDir(tree.path()).mkpath(QFileInfo(tree.filePath(deep)).path()));
    QFile(tree.filePath(deep)).open(QIODevice::WriteOnly);
    EXPECT_EQ(search(tree.path(), tree.path()), (QStringList{deep, "top.jpg"}));
}

TEST_F(Search, NamesThatAreNotUtf8AreListedLoadedAndSearched) {
    // Shift-JIS names from old archives: 桜.jpg, and a folder 画像 whose last three bytes
    // happen to be valid UTF-8.
    QTemporaryDir tree;
    const QByteArray root = QFile::encodeName(tree.path()), folder = root + "/\x89\xE6\x91\x9C";
    // Qt could not remove these names.
    const std::unique_ptr<const char, void (*)(const char*)> cleanup(
        root.constData(), [](const char* r) { std::filesystem::remove_all(r); });
    ASSERT_EQ(mkdir(folder.constData(), 0700), 0);
    QFile sample(PIKUTA_SAMPLES_DIR "/photo.jpg");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const std::string photo = sample.readAll().toStdString();
    for (const QByteArray& f : {root + "/\x8D\xF7.jpg", folder + "/\x8D\xF7.jpg"})
        std::ofstream(f.toStdString(), std::ios::binary) << photo;

    m.Dir1.setPath(tree.path());
    ASSERT_EQ(m.List1.listCount(), 1);
    test_env::settle();
    EXPECT_EQ(platform::name_to_bytes(m.List1.list(0)), root + "/\x8D\xF7.jpg");
    EXPECT_EQ(static_cast<QListWidget*>(m.List1.widget())->item(0)->text(),
              tree.path() + QStringLiteral("/桜.jpg"));
    const QString sub = m.Dir1.list(0);
    EXPECT_EQ(platform::name_to_bytes(sub), folder);
    EXPECT_TRUE(static_cast<QListWidget*>(m.Dir1.widget())
                    ->findItems(QStringLiteral("画像"), Qt::MatchEndsWith)
                    .size() == 1);

    play.play_no = 0;
    m.load_picture();
    EXPECT_EQ(m.picture.copy_ok, 1);
    EXPECT_EQ(static_cast<QLabel*>(m.Label7.widget())->text(),
              tree.path() + QStringLiteral("/桜.jpg"));

    QStringList found = search(tree.path(), tree.path());
    for (QString& f : found)
        f = platform::readable_name(f);
    EXPECT_EQ(found, (QStringList{QStringLiteral("画像/桜.jpg"), QStringLiteral("桜.jpg")}));
    m.Dir1.setPath(sub); // into the folder, and up again by its chain of parents
    EXPECT_EQ(m.List1.listCount(), 1);
    m.Dir1.setPath(tree.path());
    EXPECT_EQ(m.Dir1.path(), tree.path());
}

TEST_F(Search, TheReplacedListHasNoCurrentEntry) {
    test_env::TempTree tree;
    tree.bmp("a.bmp", Qt::darkCyan, 40, 30);
    tree.bmp("b.bmp", Qt::darkCyan, 40, 30);
    tree.bmp("sub/deep.bmp", Qt::darkCyan, 40, 30);
    m.Dir1.setPath(tree.path());
    m.List1.setSelected(1, true);
    m.Command2_Click(); // NEXT: entry 2 is named and, a moment later, shown
    clock.advance(1000);
    // Drawn again as in a full window: with its number and path over it, or not.
    const auto overlaid = [this] {
        placement.hyouji_mode = 1;
        m.sai_hyouji();
        // The text's magenta, smoothed at its edges.
        return test_env::count_pixels(m.pic.image().copy(0, 0, 200, 20), [](QPoint, QColor c) {
                   return c.red() > 128 && c.blue() > 128;
               }) > 0;
    };
    ASSERT_TRUE(overlaid());
    search(tree.path(), tree.path());
    EXPECT_EQ(play.play_no, -1);
    EXPECT_EQ(m.Label2.caption() + m.Label5.caption() + m.Label5.toolTipText(), "");
    EXPECT_FALSE(overlaid());
}

TEST_F(Search, StopRequestsEndTheSearchAtTheNextFolder) {
    test_env::TempTree tree;
    for (int i = 0; i < 30; ++i)
        tree.file(QStringLiteral("f%1/p.jpg").arg(i, 2, 10, QLatin1Char('0')));
    // The search button pressed again, the close button, a folder change: each stops it.
    const std::pair<const char*, std::function<void()>> stops[] = {
        {"中止", [this] { k.Command7.click(); }},
        {"閉じる", [this] { k.Command2.click(); }},
        {"another folder", [this] { m.Dir1.setPath(QDir::tempPath()); }},
    };
    for (const auto& [what, stop] : stops) {
        SCOPED_TRACE(what);
        after_event_rounds(6, stop);
        const QStringList found = search(tree.path(), tree.path());
        EXPECT_GT(Module2::search.hit_count, 0);
        EXPECT_LT(Module2::search.hit_count, 30);
        // A folder change replaces the list; otherwise the count is what the list holds.
        if (what != std::string("another folder")) {
            EXPECT_EQ(Module2::search.hit_count, found.size());
            EXPECT_EQ(found.first(), "f29/p.jpg");
        }
    }
}

TEST_F(Search, ClosingTheMainWindowDuringASearchEndsEverythingOnce) {
    test_env::TempTree tree;
    for (int i = 0; i < 30; ++i)
        tree.file(QStringLiteral("f%1/p.jpg").arg(i));
    m.Dir1.setPath(tree.path());
    m.Show();
    QPointer<QWidget> main_window = m.window(), search_window = k.window();
    bool alive_under_search = false;
    after_event_rounds(3, [&] {
        main_window->close(); // the close box
        test_env::settle();
        alive_under_search = main_window && search_window;
    });
    k.Command7.click();
    EXPECT_TRUE(alive_under_search);
    EXPECT_LT(Module2::search.hit_count, 30);
    EXPECT_EQ(store.flushes, 1);
    EXPECT_EQ(store.values["f_path"], tree.path());
    test_env::settle();
    EXPECT_FALSE(main_fm.loaded() || kensaku_set.loaded() || menu_fm.loaded() || vrjo.loaded());
    EXPECT_FALSE(main_window || search_window);
}

class SearchWindow : public Search {
  protected:
    int beeps = 0;
    void SetUp() override {
        tk::set_user_effects({[](const QString&, const QString&) {}, [this] { ++beeps; }});
    }
    std::array<tk::CheckBox*, 4> boxes() { return {&k.Check1, &k.Check2, &k.Check3, &k.Check4}; }
    std::array<int, 4> checks() {
        return {k.Check1.value(), k.Check2.value(), k.Check3.value(), k.Check4.value()};
    }
};

TEST_F(SearchWindow, SettingsPanelAppliesOrRefuses) {
    test_env::TempTree tree;
    tree.file("a.bmp");
    tree.file("b.jpg");
    // What, the boxes set, "ﾃﾞﾌｫﾙﾄ" pressed then, "OK" (else "ｷｬﾝｾﾙ"), whether applied.
    const std::tuple<const char*, std::array<int, 4>, bool, bool, bool> rows[] = {
        {"only balloon help: a beep, the panel stays", {0, 0, 0, 1}, false, true, false},
        {"only JPG: applied, the list rebuilt at once", {0, 1, 0, 0}, false, true, true},
        {"defaults then cancel: nothing changes", {0, 0, 1, 0}, true, false, false},
    };
    const std::array<int, 4> before{1, 1, 0, 1};
    for (const auto& [what, values, defaults, ok, applied] : rows) {
        SCOPED_TRACE(what);
        options.opc1_flag = options.opc2_flag = options.opc4_flag = 1;
        options.opc3_flag = 0;
        set_pattern();
        m.Dir1.setPath(tree.path());
        m.Dir1_Change();
        play.play_flag = 1;
        beeps = 0;
        const double frame = k.height() - k.scaleHeight();
        k.Command3_Click();
        EXPECT_EQ(checks(), before);
        for (int i = 0; i < 4; ++i)
            boxes()[i]->setValue(values[i]);
        if (defaults) {
            k.Command4_Click();
            EXPECT_EQ(checks(), before);
        }
        (ok ? k.Command1 : k.Command5).click();
        const bool refused = ok && !applied;
        EXPECT_EQ((std::array<int, 4>{options.opc1_flag, options.opc2_flag, options.opc3_flag,
                                      options.opc4_flag}),
                  applied ? values : before);
        EXPECT_EQ(beeps, refused ? 1 : 0);
        EXPECT_EQ(k.Frame1.visible(), refused);
        EXPECT_EQ(k.Frame3.visible(), !refused);
        EXPECT_EQ(k.height(), frame + (refused ? 1815 : 975));
        EXPECT_EQ(entries().size(), applied ? 1 : 2); // only b.jpg after "only JPG"
        EXPECT_EQ(play.play_flag, applied ? 0 : 1);   // a rebuild stops the show
        k.Command5_Click();
    }
}

TEST_F(SearchWindow, BalloonHelpSwitchesOnBothWindowsAtOnce) {
    // A few of each window's fixed hints, of each kind of control.
    const std::vector<tk::Control*> fixed{&m.Command1, &m.Drive1, &m.Dir1, &m.Label4,
                                          &k.Command1, &k.Check1, &k.pic,  &k.img1};
    const std::vector<tk::Control*> dynamic{&m.List1, &m.Label5, &k.Command7};
    for (const int on : {0, 1, 0}) {
        SCOPED_TRACE(on);
        for (tk::Control* c : dynamic)
            c->setToolTipText("moment's hint");
        k.Command3_Click();
        k.Check4.setValue(on);
        k.Command1_Click();
        EXPECT_EQ(options.opc4_flag, on);
        for (tk::Control* c : fixed)
            EXPECT_EQ(c->toolTipText().isEmpty(), !on) << c->name().toStdString();
        for (tk::Control* c : dynamic)
            EXPECT_TRUE(on || c->toolTipText().isEmpty()) << c->name().toStdString();
    }
    // The search button's own hint follows the search while balloon help is on.
    const std::tuple<int, byte, QString> hints[] = {
        {1, kSearchRunning, texts::kSearchStopHint},
        {1, 0, texts::kSearchStartHint},
        {0, kSearchRunning, texts::kSearchStartHint}, // off: left as it was
    };
    for (const auto& [balloon, flag, hint] : hints) {
        options.opc4_flag = balloon;
        Module2::search.kensaku_flag = flag;
        k.Command7_MouseMove();
        EXPECT_EQ(k.Command7.toolTipText(), hint);
    }
    Module2::search.kensaku_flag = 0;
}

} // namespace
