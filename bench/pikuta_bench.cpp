// The program's speed and memory, each figure against a reference measured in the same run.
//
//   pikuta-bench [--quick] [--json FILE] [--only GROUP,...]
//                                          every figure (or those of the groups list, search,
//                                          metafile, load, draw, next, keepup, startup, rss),
//                                          one line each: name value unit reference_value ratio
//   pikuta-bench load FILE...              each file through the program's picture loading:
//                                          ok WIDTH HEIGHT MILLISECONDS PATH | fail MILLISECONDS
//                                          PATH
//   pikuta-bench photos FOLDER W H COUNT   writes the bench's photos (p00.jpg, ...)
//
// Everything runs on the offscreen platform on data made here (and the metafile samples). --quick
// makes tiny data and runs each measurement once, so that the test suite can keep the bench from
// rotting.
#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "bench/photo.h"
#include "display/display.h"
#include "platform/memory.h"
#include "platform/picture_io.h"
#include "toolkit/application.h"
#include "toolkit/folder_listing.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QColorSpace>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace {

struct Options {
    bool quick = false;
    QString json;
    QStringList only; // groups of figures to measure; all when empty
    bool wants(const char* group) const {
        return only.isEmpty() || only.contains(QLatin1String(group));
    }
};

struct Size {
    int w, h;
};

// Full sizes, and the tiny stand-ins of the quick mode.
struct Sizes {
    Size mp1, mp12, mp24, bmp12, gif2;
    int folder_files, set_pictures, runs, keepup_ms, gap_ms, search_folders;
};
constexpr Sizes kFull{{1152, 864},  {4000, 3000}, {6000, 4000}, {4000, 3000},
                      {1632, 1224}, 40000,        20,           5,
                      3000,         300,          5000};
constexpr Sizes kQuick{{64, 48}, {96, 72}, {128, 96}, {96, 72}, {64, 48}, 30, 3, 1, 200, 0, 20};

double ms_since(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Median in milliseconds of `runs` runs after one run that warms caches up.
double median_ms(int runs, const std::function<void()>& work) {
    if (runs > 1) work();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(ms_since(t));
    }
    return median(times);
}

// Lets the event loop run for `ms`, with real timers.
void run_events(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs a program to its end; its wall time in milliseconds, or nothing when it cannot run.
std::optional<double> run_ms(const QString& program, const QStringList& args) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return ms_since(t);
}

std::optional<double> median_run_ms(int runs, const QString& program, const QStringList& args) {
    std::vector<double> times;
    for (int i = 0; i < runs + (runs > 1); ++i) {
        const auto ms = run_ms(program, args);
        if (!ms) return std::nullopt;
        if (runs == 1 || i > 0) times.push_back(*ms);
    }
    return median(times);
}

class Report {
  public:
    // A figure; a reference below zero means there is none.
    void add(const QString& name, double value, const QString& unit, double reference = -1) {
        const bool ref = reference > 0 && std::isfinite(reference);
        const QString r = ref ? QString::number(reference, 'f', 2) : QStringLiteral("-");
        const QString ratio =
            ref ? QString::number(value / reference, 'f', 2) : QStringLiteral("-");
        std::printf("%s %s %s %s %s\n", qPrintable(name),
                    qPrintable(QString::number(value, 'f', 2)), qPrintable(unit), qPrintable(r),
                    qPrintable(ratio));
        std::fflush(stdout);
        QJsonObject o{{"name", name}, {"value", value}, {"unit", unit}};
        if (ref) {
            o["reference"] = reference;
            o["ratio"] = value / reference;
        }
        figures_.append(o);
    }
    bool write(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) &&
               f.write(QJsonDocument(QJsonObject{{"figures", figures_}}).toJson()) > 0;
    }

  private:
    QJsonArray figures_;
};

// ---- the main window, driven as a user drives it

// A shown main window whose play list holds `paths`, all marked, at speed 10 so that the
// slideshow tick never comes between two steps.
MainForm& window_with(const QStringList& paths, int speed = 10) {
    MainForm& f = main_fm.get();
    f.Show();
    f.Command4_Click();
    f.List1.clear();
    for (int i = 0; i < paths.size(); ++i) {
        f.List1.addItem(paths[i]);
        f.List1.setSelected(i, true);
    }
    Module2::play.play_no = -1;
    f.HScroll1.setValue(speed);
    return f;
}

// The maximised display mode, on the 1280 x 1024 screen the bench runs on.
void maximise_picture(MainForm&) {
    menu_fm->hyouji_set(1);
}

// PLAY's click to the next picture drawn, median over one pass through the set.
double next_picture_ms(const QStringList& paths, const Sizes& s) {
    MainForm& f = window_with(paths);
    f.Command3_Click(); // the first load opens the picture area
    maximise_picture(f);
    std::vector<double> times;
    for (int i = 0; i < paths.size(); ++i) {
        run_events(s.gap_ms); // a person's pause between two key presses
        QElapsedTimer t;
        t.start();
        f.Command3_Click();
        QCoreApplication::processEvents(); // the paint
        times.push_back(ms_since(t));
    }
    f.Command4_Click();
    return median(times);
}

// Share of speed-1 ticks that showed a new picture, with real timers.
double keepup_percent(const QStringList& paths, int run_ms) {
    MainForm& f = window_with(paths, 1);
    f.Command3_Click();
    maximise_picture(f);
    int shown = 0;
    const auto tick = f.Timer1.onTick;
    f.Timer1.onTick = [&] {
        const QString before = f.Label7.caption();
        tick();
        shown += f.picture.copy_ok == 1 && f.Label7.caption() != before;
    };
    QElapsedTimer t;
    t.start();
    run_events(run_ms);
    const double ticks = ms_since(t) / 50.0;
    f.Command4_Click();
    f.Timer1.onTick = tick;
    return 100.0 * shown / ticks;
}

// ---- child processes: start-up and memory

// Starts the program as it starts itself and says so once the main window is shown.
int child_startup() {
    if (!Module2::Main()) return 1;
    std::puts("shown");
    std::fflush(stdout);
    return 0;
}

// The high-water mark of this program's own memory in kB: unlike getrusage's, it does not
// carry over the parent's from before exec.
QByteArray peak_kb() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0];
    return "0";
}

// Peak resident memory in kB of the program stepping with PLAY through `paths` (none: empty).
int child_rss(const QStringList& paths) {
    MainForm& f = window_with(paths);
    for (int i = 0; i < paths.size(); ++i) {
        f.Command3_Click();
        maximise_picture(f);
        run_events(300); // the picture ahead is read meanwhile
    }
    QCoreApplication::processEvents();
    std::printf("%s\n", peak_kb().constData());
    return 0;
}

// Keep-up at speed 1 in a program of its own: "percent peak_kB". Arguments: the milliseconds
// to run, then the pictures.
int child_keepup(const QStringList& args) {
    const double percent = keepup_percent(args.mid(1), args.value(0).toInt());
    std::printf("%.2f %s\n", percent, peak_kb().constData());
    return 0;
}

// Runs this program as a child with `args`; the first line it prints, or empty.
QString child_line(const QStringList& args) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(120000)) return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0);
}

// Milliseconds from starting `program` to its first line on standard output.
std::optional<double> time_to_first_line(const QString& program, const QStringList& args) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    while (!p.canReadLine())
        if (!p.waitForReadyRead(30000)) return std::nullopt;
    const double ms = ms_since(t);
    p.waitForFinished(30000);
    return ms;
}

// ---- the figures

int load_files(const QStringList& paths) {
    for (const QString& path : paths) {
        QElapsedTimer t;
        t.start();
        const QImage image = platform::read_picture(path);
        const double ms = ms_since(t);
        if (image.isNull())
            std::printf("fail %.1f %s\n", ms, qPrintable(path));
        else
            std::printf("ok %d %d %.1f %s\n", image.width(), image.height(), ms, qPrintable(path));
        std::fflush(stdout);
    }
    return 0;
}

// File1's pattern as the arguments of find.
QStringList find_args(const QString& folder, const QString& pattern) {
    QStringList args{folder, QStringLiteral("-maxdepth"), QStringLiteral("1"), QStringLiteral("(")};
    const QStringList globs = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = 0; i < globs.size(); ++i) {
        if (i > 0) args << QStringLiteral("-o");
        args << QStringLiteral("-iname") << globs[i];
    }
    return args << QStringLiteral(")");
}

void list_folder(Report& report, const QString& root, const Sizes& s) {
    const QString folder = root + QStringLiteral("/many");
    QDir().mkpath(folder);
    const char* kinds[] = {"jpg", "bmp", "gif", "txt"};
    for (int i = 0; i < s.folder_files; ++i) {
        QFile f(folder +
                QStringLiteral("/f%1.%2").arg(i, 5, 10, QLatin1Char('0')).arg(kinds[i % 4]));
        f.open(QIODevice::WriteOnly);
    }
    MainForm& f = window_with({});
    const double ms = median_ms(s.runs, [&] {
        f.Dir1.setPath(root);
        f.Dir1.setPath(QDir::toNativeSeparators(folder));
    });
    const auto find =
        median_run_ms(s.runs, QStringLiteral("find"), find_args(folder, f.File1.pattern()));
    report.add(QStringLiteral("list_folder"), ms, QStringLiteral("ms"), find.value_or(-1));
}

// A tree of `folders` folders up to 8 deep, each with 20 names of which about a third match:
// the folders hang under a random earlier folder not yet at the deepest level.
void make_tree(const QString& root, int folders) {
    static const char* const names[] = {"a.bmp",  "B.JPG", "c.dib", "d.emf",     "e.jpg",
                                        "f.Bmp",  "g.txt", "h.png", "i.gif",     "j.wmf",
                                        "k.jpeg", "l.tif", "m.doc", "n.bmp.txt", "o.html",
                                        "p.xml",  "q.ini", "r.mp3", "s.avi",     "t.jpg~"};
    std::mt19937 random(7);
    std::vector<std::pair<QString, int>> all{{root, 0}};
    for (int i = 1; i < folders; ++i) {
        std::pair<QString, int> parent;
        do
            parent = all[random() % all.size()];
        while (parent.second >= 8);
        all.push_back({parent.first + QStringLiteral("/f%1").arg(i), parent.second + 1});
        QDir().mkdir(all.back().first);
    }
    for (const auto& [folder, depth] : all)
        for (const char* name : names)
            QFile(folder + '/' + QString::number(depth) + QLatin1String(name))
                .open(QIODevice::WriteOnly);
}

// The folder search as its button runs it, against find with the same patterns: with the main
// and the search window shown, as a person searches, and with both hidden.
void search(Report& report, const QString& root, const Sizes& s) {
    const QString tree = root + QStringLiteral("/tree");
    QDir().mkpath(tree);
    make_tree(tree, s.search_folders);
    MainForm& f = window_with({});
    f.Dir1.setPath(QDir::toNativeSeparators(tree));
    QStringList args{tree, QStringLiteral("-type"), QStringLiteral("f")};
    args += find_args(tree, f.File1.pattern()).mid(3);
    const auto find = median_run_ms(s.runs, QStringLiteral("find"), args);
    const auto searching = [&] {
        f.Dir1.setPath(QDir::toNativeSeparators(tree));
        kensaku_set->Command7_Click();
    };
    f.Command7_Click(); // the search window
    report.add(QStringLiteral("search"), median_ms(s.runs, searching), QStringLiteral("ms"),
               find.value_or(-1));
    kensaku_set->Hide();
    f.Hide();
    report.add(QStringLiteral("search_hidden"), median_ms(s.runs, searching), QStringLiteral("ms"),
               find.value_or(-1));
}

// Start-up cost of djpeg itself, taken off each of its runs so that the reference is the
// decoding.
double djpeg_launch_ms(int runs) {
    return median_run_ms(runs, QStringLiteral("djpeg"), {QStringLiteral("-version")}).value_or(0);
}

double load_ms(int runs, const QString& path) {
    return median_ms(runs, [&] { platform::read_picture(path); });
}

// `count` photos of one size in `folder`: p00.jpg, p01.jpg, ...
QStringList photos(const QString& folder, Size size, int count) {
    QStringList paths;
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        paths << folder + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        bench::photo(size.w, size.h, unsigned(i + 1)).save(paths.back(), "JPEG", 90);
    }
    return paths;
}

QStringList photo_set(const QString& root, const QString& name, Size size, int count) {
    return photos(root + QLatin1Char('/') + name, size, count);
}

// Lets pic paint what it shows into the window's backing store.
void paint() {
    QCoreApplication::processEvents();
}

// Drawing a loaded photo again in the maximised picture area, up to the window's backing
// store, against the photo's decode, and how close the fit comes to averaging every source
// pixel.
void fit_draw(Report& report, const QString& path, double decode_ms, const Sizes& s) {
    MainForm& f = window_with({path});
    f.Command3_Click();
    maximise_picture(f);
    const double ms = median_ms(s.runs, [&] { f.sai_hyouji(), paint(); });
    report.add(QStringLiteral("fit_draw_24mp"), ms, QStringLiteral("ms"), decode_ms);

    // Quality against one plain bilinear scaling, both measured against an area average of
    // the whole picture (the program draws from a reduced decode).
    const QImage picture = platform::read_picture(path);
    const PicLayout l = compute_layout(f.pic.scaleWidth(), f.pic.scaleHeight(), picture.width(),
                                       picture.height(), false);
    const QRect dest(l.dx, l.dy, l.dw, l.dh);
    const QImage area = picture.scaled(l.dw, l.dh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32);
    QImage bilinear(l.dw, l.dh, QImage::Format_RGB32);
    QPainter p(&bilinear);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(bilinear.rect(), picture);
    p.end();
    report.add(QStringLiteral("fit_quality_24mp"), bench::psnr(f.pic.image().copy(dest), area),
               QStringLiteral("dB"), bench::psnr(bilinear, area));
}

// The loupe drawing at factors 20 and 1/16 in the maximised picture area, up to the backing
// store, each against a plain copy of the same source rectangle.
void loupe(Report& report, const QString& path, const Sizes& s) {
    MainForm& f = window_with({path});
    f.Command3_Click();
    maximise_picture(f);
    const QImage picture = platform::read_picture(path); // what the loupe reads
    const int W = int(f.pic.scaleWidth()), H = int(f.pic.scaleHeight());
    const std::pair<const char*, std::uint8_t> cases[] = {{"loupe_20x_24mp", 15},
                                                          {"loupe_1_16_24mp", 6}};
    for (const auto& [name, index] : cases) {
        const double factor = zoom_rate(index);
        const LoupeView v = loupe_view(W, H, picture.width(), picture.height(), factor, factor,
                                       std::int32_t(picture.width() / 2 * factor),
                                       std::int32_t(picture.height() / 2 * factor));
        const double ms = median_ms(s.runs, [&] {
            f.pic.Cls();
            f.pic.PaintPicture(picture, v.dx, v.dy, v.dw, v.dh, v.sx, v.sy, v.sw, v.sh);
            paint();
        });
        const double copy = median_ms(s.runs, [&] { (void)picture.copy(v.sx, v.sy, v.sw, v.sh); });
        report.add(QLatin1String(name), ms, QStringLiteral("ms"), copy);
    }
    menu_fm->hyouji_set(0);
}

// Loading for the fitted view of a 1280 x 1024 screen, as the program reads: at exactly the
// size shown.
const platform::ReadOptions kFitted{[](QSize own) {
                                        const PicLayout l = compute_layout(1280, 1024, own.width(),
                                                                           own.height(), false);
                                        return QSize(l.dw, l.dh);
                                    },
                                    nullptr, true};

// The whole-number reduction a JPEG is decoded at for the fitted view (djpeg's -scale 1/N).
int view_reduction(const QString& path) {
    platform::ReadOptions reduced = kFitted;
    reduced.exact = false;
    QSize own;
    const int width = std::max(1, platform::read_picture(path, reduced, &own).width());
    return std::max(1, own.width() / width);
}

// The share of 50 ms ticks that the JPEG decoder itself could fill with a new picture from
// `paths` at the fitted view's reduction, decoding two at a time (one per core).
std::optional<double> djpeg_keepup_percent(const QStringList& paths, double launch) {
    const QString scale = QStringLiteral("1/%1").arg(view_reduction(paths.front()));
    std::vector<std::unique_ptr<QProcess>> running;
    QElapsedTimer t;
    t.start();
    for (int next = 0; next < paths.size() || !running.empty();) {
        while (running.size() < 2 && next < paths.size()) {
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(QStringLiteral("djpeg"),
                                  {QStringLiteral("-scale"), scale, QStringLiteral("-outfile"),
                                   QProcess::nullDevice(), paths[next++]});
        }
        for (auto it = running.begin(); it != running.end();) {
            QProcess& p = **it;
            if (p.state() != QProcess::NotRunning && !p.waitForFinished(1)) {
                ++it;
                continue;
            }
            if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
            it = running.erase(it);
        }
    }
    // The program starts no process per picture: the start-ups, two at a time, are taken off.
    const double per_picture =
        std::max(ms_since(t) - launch * paths.size() / 2, 0.01) / paths.size();
    return std::min(100.0, 100.0 * 50.0 / per_picture);
}

// Loading for the fitted view, against djpeg decoding at the same reduction.
void fitted_load(Report& report, const QString& name, const QString& path, double launch,
                 const Sizes& s) {
    QSize own;
    const double ms = median_ms(s.runs, [&] { platform::read_picture(path, kFitted, &own); });
    const auto djpeg =
        launch >= 0 ? median_run_ms(s.runs, QStringLiteral("djpeg"),
                                    {QStringLiteral("-scale"),
                                     QStringLiteral("1/%1").arg(view_reduction(path)),
                                     QStringLiteral("-outfile"), QProcess::nullDevice(), path})
                    : std::nullopt;
    report.add(name, ms, QStringLiteral("ms"), djpeg ? std::max(*djpeg - launch, 0.01) : -1);
}

// The photo as a phone held upright stores it (Exif orientation 6) and as a camera set to
// Adobe RGB does (with that profile), each loaded for the fitted view against the plain photo,
// the three in turn.
void photo_blocks(Report& report, const QString& root, const QString& plain, const Sizes& s) {
    QFile file(plain);
    file.open(QIODevice::ReadOnly);
    const QByteArray jpeg = file.readAll();
    const auto with_block = [&](const QString& name, char marker, const QByteArray& payload) {
        const int length = int(payload.size()) + 2;
        QFile out(root + QLatin1Char('/') + name);
        out.open(QIODevice::WriteOnly);
        out.write(jpeg.left(2) + char(0xFF) + marker + char(length >> 8) + char(length & 0xFF) +
                  payload + jpeg.mid(2));
        return out.fileName();
    };
    const QStringList paths{
        plain,
        with_block(QStringLiteral("turned.jpg"), '\xE1',
                   QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0"
                              "\0\0\0\0",
                              32)),
        with_block(QStringLiteral("adobe_rgb.jpg"), '\xE2',
                   QByteArray("ICC_PROFILE\0\x01\x01", 14) +
                       QColorSpace(QColorSpace::AdobeRgb).iccProfile())};
    std::vector<double> times[3];
    for (int i = 0; i < 3 * s.runs + (s.runs > 1); ++i) {
        for (int k = 0; k < 3; ++k) {
            QSize own;
            QElapsedTimer t;
            t.start();
            platform::read_picture(paths[k], kFitted, &own);
            if (i > 0 || s.runs == 1) times[k].push_back(ms_since(t));
        }
    }
    report.add(QStringLiteral("load_jpeg_12mp_fitted_orientation_6"), median(times[1]),
               QStringLiteral("ms"), median(times[0]));
    report.add(QStringLiteral("load_jpeg_12mp_fitted_adobe_rgb"), median(times[2]),
               QStringLiteral("ms"), median(times[0]));
}

// The least loading a 24-bit bitmap can cost: reading the file and turning each of its rows
// into 32-bit pixels once.
double bmp_floor_ms(int runs, const QString& path) {
    return median_ms(runs, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray d = f.readAll();
        const auto at = [&](int i) { return qFromLittleEndian<qint32>(d.constData() + i); };
        const int offset = at(10), w = at(18), h = at(22);
        const qsizetype stride = (qsizetype(w) * 3 + 3) / 4 * 4;
        QImage out(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) { // stored bottom up
            const auto* in =
                reinterpret_cast<const uchar*>(d.constData()) + offset + stride * (h - 1 - y);
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < w; ++x, in += 3)
                line[x] = qRgb(in[2], in[1], in[0]);
        }
    });
}

// BMP loading against reading and converting the rows once; GIF loading against Debian's GIF
// library decoding the same file (its gif2rgb tool, its start-up taken off).
void load_others(Report& report, const QString& root, const Sizes& s) {
    const QString bmp = root + QStringLiteral("/photo.bmp");
    bench::photo(s.bmp12.w, s.bmp12.h, 99).convertToFormat(QImage::Format_RGB888).save(bmp, "BMP");
    report.add(QStringLiteral("load_bmp_12mp"), load_ms(s.runs, bmp), QStringLiteral("ms"),
               bmp_floor_ms(s.runs, bmp));
    const QString gif = root + QStringLiteral("/photo.gif");
    const QString gif_source = root + QStringLiteral("/gif_source.bmp");
    bench::photo(s.gif2.w, s.gif2.h, 98).save(gif_source, "BMP");
    if (!run_ms(QStringLiteral("convert"),
                {gif_source, QStringLiteral("+dither"), QStringLiteral("-colors"),
                 QStringLiteral("256"), gif})) {
        std::fprintf(stderr, "ImageMagick's convert is missing: no GIF figure\n");
        return;
    }
    const QString gif2rgb = QStringLiteral("gif2rgb");
    const auto launch = median_run_ms(s.runs, gif2rgb, {QStringLiteral("-h")});
    const auto giflib = median_run_ms(
        s.runs, gif2rgb, {QStringLiteral("-1"), QStringLiteral("-o"), QProcess::nullDevice(), gif});
    if (!launch || !giflib) std::fprintf(stderr, "giflib's gif2rgb is missing: no GIF reference\n");
    report.add(QStringLiteral("load_gif_2mp"), load_ms(s.runs, gif), QStringLiteral("ms"),
               launch && giflib ? std::max(*giflib - *launch, 0.01) : -1);
}

// A metafile sample read through the renderer inside its walls, against the same with them down;
// the two alternate, so that both meet the same load.
void metafiles(Report& report, const Sizes& s) {
    const char* const off = "PIKUTA_METAFILE_SANDBOX";
    for (const char* name : {"shapes.emf", "features.wmf"}) {
        const QString path = QStringLiteral(PIKUTA_BENCH_SAMPLES "/") + QLatin1String(name);
        std::vector<double> walled, open;
        platform::read_picture(path);
        for (int i = 0; i < (s.runs > 1 ? 8 * s.runs : 1); ++i) {
            walled.push_back(load_ms(1, path));
            qputenv(off, "off");
            open.push_back(load_ms(1, path));
            qunsetenv(off);
        }
        report.add(QStringLiteral("metafile_%1_walled").arg(QString(name).section('.', 1)),
                   median(walled), QStringLiteral("ms"), median(open));
    }
}

// Exec to the main window shown, against the smallest Qt Widgets program.
void startup(Report& report, const Sizes& s) {
    const QString self = QCoreApplication::applicationFilePath();
    const QString minimal =
        QCoreApplication::applicationDirPath() + QStringLiteral("/bench_minimal_qt");
    std::vector<double> ours, theirs, with_text;
    for (int i = 0; i < s.runs + (s.runs > 1); ++i) {
        const auto a = time_to_first_line(self, {QStringLiteral("--child-startup")});
        const auto b = time_to_first_line(minimal, {});
        const auto c = time_to_first_line(minimal, {QStringLiteral("--text")});
        if (i == 0 && s.runs > 1) continue; // warming up
        if (a) ours.push_back(*a);
        if (b) theirs.push_back(*b);
        if (c) with_text.push_back(*c);
    }
    report.add(QStringLiteral("startup"), median(ours), QStringLiteral("ms"),
               theirs.empty() ? -1 : median(theirs));
    // The same against the minimal window with a line of text: the plain one says it is shown
    // before Qt has read the fonts, which a window with captions cannot.
    report.add(QStringLiteral("startup_vs_text"), median(ours), QStringLiteral("ms"),
               with_text.empty() ? -1 : median(with_text));
}

// Peak resident memory of the program, empty, with a 24 MP picture, and stepping through some.
void memory(Report& report, const QStringList& set24, const Sizes& s) {

    const double empty_mb = child_line({QStringLiteral("--child-rss")}).toDouble() / 1024;
    const double peak_mb =
        child_line({QStringLiteral("--child-rss"), set24.front()}).toDouble() / 1024;
    const double stepping_mb =
        child_line(QStringList{QStringLiteral("--child-rss")} + set24.mid(0, 4)).toDouble() / 1024;
    const double decoded_mb = 4.0 * s.mp24.w * s.mp24.h / (1024 * 1024);
    report.add(QStringLiteral("rss_empty"), empty_mb, QStringLiteral("MB"));
    // Measured above the empty program, against the decoded picture's own size.
    report.add(QStringLiteral("peak_rss_24mp"), peak_mb - empty_mb, QStringLiteral("MB"),
               decoded_mb);
    // The same while stepping through four pictures, one read ahead each time.
    report.add(QStringLiteral("peak_rss_stepping_24mp"), stepping_mb - empty_mb,
               QStringLiteral("MB"), decoded_mb);
}

int write_json(const Report& report, const Options& o) {
    if (!o.json.isEmpty() && !report.write(o.json)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(o.json));
        return 1;
    }
    return 0;
}

int run_all(const Options& o) {
    const Sizes& s = o.quick ? kQuick : kFull;
    QTemporaryDir dir;
    const QString root = dir.path();
    Report report;
    const bool have_djpeg = !QStandardPaths::findExecutable(QStringLiteral("djpeg")).isEmpty();
    if (!have_djpeg) std::fprintf(stderr, "djpeg is missing: the JPEG figures have no reference\n");

    if (o.wants("list")) list_folder(report, root, s);
    if (o.wants("search")) search(report, root, s);
    if (o.wants("metafile")) metafiles(report, s);
    if (!(o.wants("load") || o.wants("draw") || o.wants("next") || o.wants("keepup") ||
          o.wants("startup") || o.wants("rss")))
        return write_json(report, o);

    const QStringList set1 = photo_set(root, QStringLiteral("mp1"), s.mp1, s.set_pictures);
    const QStringList set12 = photo_set(root, QStringLiteral("mp12"), s.mp12, s.set_pictures);
    const QStringList set24 = photo_set(root, QStringLiteral("mp24"), s.mp24, s.set_pictures);
    const double launch = have_djpeg && o.wants("load") ? djpeg_launch_ms(s.runs) : 0;
    double decode24 = 0;
    if (o.wants("load") || o.wants("draw"))
        for (const auto& [name, set] : {std::pair{"load_jpeg_1mp", &set1},
                                        {"load_jpeg_12mp", &set12},
                                        {"load_jpeg_24mp", &set24}}) {
            const QString path = set->front();
            const double ms = load_ms(s.runs, path);
            const auto djpeg =
                have_djpeg && o.wants("load")
                    ? median_run_ms(s.runs, QStringLiteral("djpeg"),
                                    {QStringLiteral("-outfile"), QProcess::nullDevice(), path})
                    : std::nullopt;
            report.add(QLatin1String(name), ms, QStringLiteral("ms"),
                       djpeg ? std::max(*djpeg - launch, 0.01) : -1);
            decode24 = ms;
        }

    if (o.wants("load")) {
        for (const auto& [name, set] :
             {std::pair{"load_jpeg_12mp_fitted", &set12}, {"load_jpeg_24mp_fitted", &set24}})
            fitted_load(report, QLatin1String(name), set->front(), have_djpeg ? launch : -1, s);
        photo_blocks(report, root, set12.front(), s);
        load_others(report, root, s);
    }
    if (o.wants("draw")) {
        fit_draw(report, set24.front(), decode24, s);
        loupe(report, set24.front(), s);
    }
    if (o.wants("next")) {
        report.add(QStringLiteral("next_picture_1mp"), next_picture_ms(set1, s),
                   QStringLiteral("ms"));
        report.add(QStringLiteral("next_picture_12mp"), next_picture_ms(set12, s),
                   QStringLiteral("ms"));
        report.add(QStringLiteral("next_picture_24mp"), next_picture_ms(set24, s),
                   QStringLiteral("ms"));
    }
    if (o.wants("keepup")) {
        // In a program of its own, whose memory is that of the slideshow alone.
        const double launch = have_djpeg ? djpeg_launch_ms(s.runs) : 0;
        for (const auto& [name, set] : {std::pair{"1mp", &set1}, {"12mp", &set12}}) {
            const QStringList out = child_line(QStringList{QStringLiteral("--child-keepup"),
                                                           QString::number(s.keepup_ms)} +
                                               *set)
                                        .split(QLatin1Char(' '));
            const auto limit = have_djpeg ? djpeg_keepup_percent(*set, launch) : std::nullopt;
            report.add(QStringLiteral("slideshow_keepup_%1").arg(QLatin1String(name)),
                       out.value(0).toDouble(), QStringLiteral("%"), limit.value_or(-1));
            report.add(QStringLiteral("peak_rss_keepup_%1").arg(QLatin1String(name)),
                       out.value(1).toDouble() / 1024, QStringLiteral("MB"));
        }
    }
    if (o.wants("startup")) startup(report, s);
    if (o.wants("rss")) memory(report, set24, s);
    return write_json(report, o);
}

} // namespace

int main(int argc, char** argv) {
    platform::tune_memory(); // as the program does
    // Headless, with settings and the listed folder of its own.
    QTemporaryDir home;
    // One 1280 x 1024 screen at 96 dpi, without window frames.
    const QString screen = home.filePath(QStringLiteral("screen.json"));
    QFile config(screen);
    config.open(QIODevice::WriteOnly);
    config.write(R"({"windowFrameMargins": false, "screens": [{"name": "s0", "x": 0, "y": 0,
        "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screen.toLocal8Bit());
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qunsetenv("DISPLAY");
    const QDir started_in = QDir::current(); // for a --json path given relative to it
    QDir::setCurrent(home.path());

    // Only the figures on standard output; the offscreen platform's notes would drown them.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type >= QtCriticalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PIKUTA"));
    tk::init_application(app);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (!args.isEmpty() && args.front() == QLatin1String("load")) return load_files(args.mid(1));
    if (args.size() == 5 && args.front() == QLatin1String("photos"))
        return photos(started_in.absoluteFilePath(args[1]), {args[2].toInt(), args[3].toInt()},
                      args[4].toInt())
            .isEmpty();
    if (!args.isEmpty() && args.front() == QLatin1String("--child-startup")) return child_startup();
    if (!args.isEmpty() && args.front() == QLatin1String("--child-rss"))
        return child_rss(args.mid(1));
    if (!args.isEmpty() && args.front() == QLatin1String("--child-keepup"))
        return child_keepup(args.mid(1));
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--quick")) {
            o.quick = true;
        } else if (args[i] == QLatin1String("--json") && i + 1 < args.size()) {
            o.json = started_in.absoluteFilePath(args[++i]);
        } else if (args[i] == QLatin1String("--only") && i + 1 < args.size()) {
            o.only = args[++i].split(QLatin1Char(','));
        } else {
            std::fprintf(
                stderr,
                "usage: pikuta-bench [--quick] [--json FILE] [--only GROUP,...] | load FILE...\n");
            return 2;
        }
    }
    return run_all(o);
}
