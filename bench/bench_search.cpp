// The folder search over a generated tree of 100,000 files in 5,000 folders (up to 8 deep,
// about a third of the names matching), warm cache, timed as the search button runs it against
// `find` with the same case-insensitive name patterns, measured in the same run.
#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "app/settings.h"
#include "toolkit/application.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kFolders = 5000, kFilesPerFolder = 20, kMaxDepth = 8, kRuns = 5;

// Settings kept in memory: the user's own store is neither read nor written.
class NoStore : public platform::SettingsStore {
  public:
    QString read(const QString&, const QString&, const QString&) override { return {}; }
    void write(const QString&, const QString&, const QString&, const QString&) override {}
    bool flush() override { return true; }
};

// Folders hang under a random earlier folder that is not yet at the deepest level; each
// holds six matching names (in mixed case) and fourteen others.
void make_tree(const QString& root) {
    static const char* const names[kFilesPerFolder] = {
        "a.bmp",  "B.JPG", "c.dib", "d.emf",  "e.jpg", "f.Bmp", "g.txt",
        "h.png",  "i.gif", "j.wmf", "k.jpeg", "l.tif", "m.doc", "n.bmp.txt",
        "o.html", "p.xml", "q.ini", "r.mp3",  "s.avi", "t.jpg~"};
    std::mt19937 random(7);
    std::vector<std::pair<QString, int>> folders{{root, 0}};
    for (int i = 1; i < kFolders; ++i) {
        std::pair<QString, int> parent;
        do
            parent = folders[random() % folders.size()];
        while (parent.second >= kMaxDepth);
        folders.push_back({parent.first + QStringLiteral("/f%1").arg(i), parent.second + 1});
        QDir().mkdir(folders.back().first);
    }
    for (const auto& [folder, depth] : folders)
        for (const char* name : names)
            QFile(folder + '/' + QString::number(depth) + name).open(QIODevice::WriteOnly);
}

double run_find(const QString& root, int* lines) {
    QStringList args{root, "-type", "f", "("};
    for (const char* p : {"*.bmp", "*.dib", "*.emf", "*.jpg"})
        args << "-iname" << p << "-o";
    args.removeLast();
    args << ")"
         << "-print";
    QProcess find;
    if (!lines) find.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    find.start("find", args);
    find.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (lines) *lines = find.readAllStandardOutput().count('\n');
    return ms;
}

double run_search(const QString& root) {
    main_fm->Dir1.setPath(root);
    QElapsedTimer t;
    t.start();
    kensaku_set->Command7_Click();
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tk::init_application(app);
    settings::set_store(std::make_unique<NoStore>());
    QTemporaryDir dir;
    const QString root = dir.path() + "/tree";
    QDir().mkdir(root);
    make_tree(root);
    QDir::setCurrent(dir.path());
    Module2::opc1_flag = Module2::opc2_flag = 1; // as a first run: bitmaps, metafiles, JPEG
    Module2::set_pattern();

    int found_by_find = 0;
    run_find(root, &found_by_find); // also warms the cache
    run_search(root);
    std::vector<double> ours, theirs;
    for (int i = 0; i < kRuns; ++i) {
        theirs.push_back(run_find(root, nullptr));
        ours.push_back(run_search(root));
    }
    const double s = median(ours), f = median(theirs);
    std::printf("search of %d folders, %d files: %d entries (find: %d)\n", kFolders,
                kFolders * kFilesPerFolder, Module2::hit_count, found_by_find);
    std::printf("search %.1f ms, find %.1f ms (medians of %d): ratio %.2f (goal <= 1.5)\n", s, f,
                kRuns, s / f);
    return Module2::hit_count == found_by_find ? 0 : 1;
}
