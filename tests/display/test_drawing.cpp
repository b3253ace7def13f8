#include "app/forms.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "display/display.h"
#include "support/test_env.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <array>
#include <functional>
#include <gtest/gtest.h>

using namespace Module2;

TEST(Layout, FitsOrCentresThePicture) {
    // Box W x H, picture w x h, keep its size; then dx, dy, dw, dh, sx, sy, sw, sh, valid.
    const std::tuple<double, double, double, double, bool, PicLayout> rows[] = {
        // Fills the height; 266.5 rounds to 266.
        {800, 400, 400, 300, false, {134, 0, 533, 400, 0, 0, 400, 300, true}},
        // Fills the width, enlarged eightfold.
        {800, 600, 100, 50, false, {0, 100, 800, 400, 0, 0, 100, 50, true}},
        {800, 600, 500, 1000, true, {150, 0, 500, 600, 0, 200, 500, 600, true}},
        // Half a box: 400.5 and 401.5 go to the even neighbours 400 and 402.
        {801, 600, 1000, 500, true, {0, 50, 801, 500, 100, 0, 801, 500, true}},
        {803, 600, 1000, 500, true, {0, 50, 803, 500, 98, 0, 803, 500, true}},
        {803, 600, 100, 50, true, {352, 275, 100, 50, 0, 0, 100, 50, true}},
        // Scaled height equal to the box (t = 3 = H) takes the fill-the-height branch.
        {10, 3, 3, 1, false, {1, 0, 9, 3, 0, 0, 3, 1, true}},
        // Sizes are rounded half to even first.
        {800.5, 600, 100, 50, false, {0, 100, 800, 400, 0, 0, 100, 50, true}},
        // Nothing to draw.
        {800, 600, 100, 0, false, {}},
        {0, 600, 100, 50, false, {}},
        {0, 0, 100, 50, true, {}},
        {800, 600, 3e10, 50, false, {}},
    };
    // Every field, or nothing but "invalid".
    const auto fields = [](const PicLayout& l) {
        return l.valid ? std::array{l.dx, l.dy, l.dw, l.dh, l.sx, l.sy, l.sw, l.sh, 1}
                       : std::array<std::int32_t, 9>{};
    };
    for (const auto& [W, H, w, h, keep, want] : rows)
        EXPECT_EQ(fields(compute_layout(W, H, w, h, keep)), fields(want))
            << W << "x" << H << " " << w << "x" << h << (keep ? " keep" : " fit");
}

namespace {

const QColor kTeal(0, 128, 128);

using test_env::count_colour;
using test_env::filled;

// A fresh program, shown, whose List1 holds the given pictures saved as bitmaps (a null
// picture leaves an empty file).
class Pictures {
  public:
    explicit Pictures(const std::vector<std::pair<QString, QImage>>& files) {
        test_env::fresh_program();
        main_fm->Show();
        for (const auto& [name, image] : files) {
            const QString path = tree.file(name, {});
            if (!image.isNull()) image.save(path, "BMP");
            main_fm->List1.addItem(path);
        }
    }
    // Loads entry `i` the way the timers do.
    void load(int i) {
        play.play_no = i;
        main_fm->picture.busy_flag = 1;
        main_fm->load_picture();
        main_fm->picture.busy_flag = 0;
    }
    test_env::TempTree tree;
};

} // namespace

TEST(Drawing, FirstLoadOpensThePictureArea) {
    // The entry loaded from a list of one, and whether its file is a picture. Without a current
    // entry nothing loads.
    for (const auto& [no, good] :
         {std::pair{0, true}, {0, false}, {-1, true}, {1, true}, {40000, true}}) {
        SCOPED_TRACE(testing::Message() << no << " " << good);
        Pictures p({{"a.bmp", good ? filled(100, 50, kTeal) : QImage()}});
        ASSERT_EQ(main_fm->height(), 2895);
        main_fm->picture.copy_ok = 1;
        p.load(no);
        const bool tried = no == 0;
        EXPECT_EQ(std::tuple(main_fm->picture.pic_ok, main_fm->picture.copy_ok),
                  std::tuple(tried, !tried || good));
        EXPECT_EQ(main_fm->height(), tried ? 6765 : 2895);
        EXPECT_TRUE(!tried || main_fm->width() == 8880);
        EXPECT_EQ(main_fm->Label7.caption(), tried ? main_fm->List1.list(0) : QString());
    }
}

TEST(Drawing, FailedLoadClearsThePicture) {
    Pictures p({{"good.bmp", filled(100, 50, kTeal)},
                {"missing.bmp", QImage()},
                {"other.bmp", filled(80, 60, Qt::yellow)},
                {"truncated.bmp", filled(80, 60, Qt::blue)},
                {"replaced.bmp", filled(80, 60, Qt::blue)}});
    main_fm->List1.addItem(p.tree.file("cut.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10)));
    // Changed on disk after the listing.
    QFile::remove(main_fm->List1.list(1));
    QFile::resize(main_fm->List1.list(3), 100);
    p.tree.file("replaced.bmp", "not a picture any more");
    // Nothing but background, also when drawn again: the list number and path of a full
    // window's overlay would name a picture not on show.
    const auto blank = [] {
        const QImage& shown = main_fm->pic.image();
        return count_colour(shown, main_fm->pic.backColor()) == shown.width() * shown.height();
    };
    placement.hyouji_mode = 1;
    for (const int bad : {1, 3, 4, 5}) {
        p.load(0);
        ASSERT_FALSE(blank());
        p.load(bad);
        EXPECT_EQ(main_fm->picture.copy_ok, 0) << bad;
        EXPECT_EQ(main_fm->Label7.caption(), main_fm->List1.list(bad));
        EXPECT_TRUE(blank()) << bad;
        main_fm->sai_hyouji();
        EXPECT_TRUE(blank()) << bad;
        main_fm->loupe_switch();
        EXPECT_TRUE(blank()) << bad;
        main_fm->loupe_switch();
    }
    p.load(2);
    EXPECT_EQ(main_fm->picture.copy_ok, 1);
    EXPECT_EQ(main_fm->pic_moto.picture().size(), QSize(80, 60));
    EXPECT_GT(count_colour(main_fm->pic.image(), Qt::yellow), 0);
}

// Minimised: Modes.MinimisedPausesTheSlideshow.
TEST(Drawing, RedisplayIsSkippedWhileBusy) {
    Pictures p({{"a.bmp", filled(100, 50, kTeal)}});
    p.load(0);
    for (const int busy : {1, 0}) {
        main_fm->pic.Cls();
        main_fm->picture.busy_flag = busy;
        main_fm->sai_hyouji();
        EXPECT_EQ(count_colour(main_fm->pic.image(), kTeal) > 0, busy == 0);
        EXPECT_EQ(main_fm->picture.busy_flag, busy);
    }
}

TEST(Drawing, OverlayLineOnlyOutsideNormalMode) {
    // What pic should show: the fitted picture and, outside normal mode, this line over it in
    // pic's font and colour. Near misses must not pass for it.
    const auto drawn = [](const QString& line) {
        QImage expected(377, 233, QImage::Format_RGB32);
        expected.fill(Qt::black);
        QPainter p(&expected);
        p.fillRect(QRect(32, 0, 311, 233), kTeal); // 400 x 300 fitted to the height
        if (!line.isEmpty()) {
            p.setFont(main_fm->pic.font());
            p.setPen(QColor(255, 0, 255));
            p.drawText(0, QFontMetrics(main_fm->pic.font()).ascent(), line);
        }
        return expected;
    };
    for (const byte mode : {0, 1, 2}) {
        Pictures p({{"a.bmp", filled(400, 300, kTeal)}, {"b.bmp", filled(400, 300, kTeal)}});
        p.load(0);
        placement.hyouji_mode = mode; // the overlay depends on the code alone
        p.load(1);
        const QString path = main_fm->List1.list(1);
        const QImage shown = main_fm->pic.image().convertToFormat(QImage::Format_RGB32);
        const QString right = mode == 0 ? QString() : QStringLiteral("2 ") + path;
        EXPECT_EQ(shown, drawn(right)) << int(mode);
        for (const QString& wrong :
             {QStringLiteral("1 ") + path, QStringLiteral("2") + path,
              QStringLiteral("2 ") + main_fm->List1.list(0), QStringLiteral("12 ") + path})
            EXPECT_NE(shown, drawn(wrong)) << int(mode) << " " << wrong.toStdString();
    }
}

// A path too long for the overlay line loses its start: the file's name stays in sight.
TEST(Drawing, OverlayLineKeepsTheEndOfALongPath) {
    const auto overlay = [](const QString& name) {
        Pictures p({{QStringLiteral("a folder with a long name/").repeated(8) + name,
                     filled(400, 300, kTeal)}});
        p.load(0);
        placement.hyouji_mode = 1;
        p.load(0);
        return main_fm->pic.image().copy(0, 0, 377, 20);
    };
    // Each call has a temporary folder of its own: only the shown end of the path is the same.
    EXPECT_EQ(overlay("a.bmp"), overlay("a.bmp"));
    EXPECT_NE(overlay("a.bmp"), overlay("b.bmp"));
}

TEST(Drawing, TransparentPartsShowTheBackground) {
    // The left half transparent with a red hidden colour, the right half blue; reduced more
    // than twofold (averaged) or enlarged (stretched).
    for (const QSize size : {QSize(800, 500), QSize(100, 50)}) {
        Pictures p({});
        QImage picture(size, QImage::Format_Indexed8);
        picture.setColorTable({qRgba(255, 0, 0, 0), qRgb(0, 0, 255)});
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                picture.setPixel(x, y, x < size.width() / 2 ? 0 : 1);
        main_fm->pic.setBackColor(Qt::green);
        main_fm->pic_moto.setPicture(picture);
        main_fm->sai_hyouji();
        const QImage& shown = main_fm->pic.image();
        EXPECT_EQ(shown.pixelColor(95, 116), QColor(Qt::green)) << size.width();
        EXPECT_EQ(shown.pixelColor(282, 116), QColor(Qt::blue)) << size.width();
        EXPECT_EQ(test_env::count_pixels(shown, [](QPoint, QColor c) { return c.red() > 40; }), 0)
            << size.width();
    }
}

TEST(Drawing, PictureFillsExactlyItsRectangle) {
    // The picture's size and keep-its-size; then where in pic (377 x 233) which part of it
    // goes, as Layout.FitsOrCentresThePicture works it out.
    const std::tuple<int, int, bool, QRect, QRect> rows[] = {
        {100, 50, false, {0, 22, 377, 188}, {0, 0, 100, 50}},
        {1, 1, false, {72, 0, 233, 233}, {0, 0, 1, 1}},
        {5000, 3, false, {}, {}}, // a strip too thin to show is not drawn at all
        {1000, 500, true, {0, 0, 377, 233}, {312, 134, 377, 233}},
        {378, 234, true, {0, 0, 377, 233}, {1, 1, 377, 233}},
    };
    for (const auto& [w, h, keep, to, from] : rows) {
        // Kept at its size, every pixel differs from its neighbours: a wrong offset shows.
        const QImage source = keep ? test_env::patterned(w, h) : filled(w, h, kTeal);
        Pictures p({{"a.bmp", source}});
        options.moto_flag = keep ? 1 : 0;
        p.load(0);
        QImage expected = filled(377, 233, Qt::black);
        if (!to.isNull()) QPainter(&expected).drawImage(to, source, from);
        EXPECT_EQ(main_fm->pic.image().convertToFormat(QImage::Format_RGB32), expected)
            << w << "x" << h << keep;
    }
}

// A photo much larger than the picture area is held at the size it is shown at; the own-size
// view, the loupe and a larger picture area decode more of it from memory, never from the file,
// which may be gone or hold another picture by then. A phone held upright stored it on its
// side: every view shows it upright.
TEST(Drawing, LargePhotoRedisplaysFromMemoryWhateverBecameOfItsFile) {
    const auto photo = [](int orientation) {
        return test_env::jpeg_turned(test_env::quarters(1600, 1200), orientation);
    };
    // Whether the file is replaced (else removed), and how the picture is shown again. Read
    // from the file, the replacement shows upside down and a removed file not at all.
    const std::tuple<const char*, bool, std::function<void(MainForm&)>> rows[] = {
        {"own size, replaced", true, [](MainForm& f) { options.moto_flag = 1, f.sai_hyouji(); }},
        {"loupe, replaced", true, [](MainForm& f) { f.loupe_switch(); }},
        {"maximised, removed", false, [](MainForm&) { menu_fm->hyouji_set(1); }},
    };
    for (const auto& [name, replaced, redisplay] : rows) {
        SCOPED_TRACE(name);
        Pictures p({});
        const QString path = p.tree.file("photo.jpg", photo(6));
        const QString kept = p.tree.file("kept.jpg", photo(6)); // what the file held when loaded
        main_fm->List1.addItem(path);
        MainForm& f = *main_fm;
        p.load(0);
        EXPECT_EQ(f.pic_moto.picture().size(), QSize(175, 233)) << "held as it is shown";
        QFile::remove(path);
        if (replaced) p.tree.file("photo.jpg", photo(8)); // upside down
        redisplay(f);
        EXPECT_EQ(f.picture_size(), QSize(1200, 1600));
        EXPECT_EQ(f.pic_moto.picture(), platform::read_held_picture(kept, f.screen_read()).image)
            << "the first picture, in all the detail shown";
        EXPECT_EQ(std::pair(f.picture.copy_ok, f.Label7.caption()),
                  std::pair(std::uint8_t(1), path));
        // Around the middle of pic: the stored bottom left now top left, and so on.
        const QImage& shown = f.pic.image();
        const int x = shown.width() / 2, y = shown.height() / 2;
        EXPECT_EQ(
            test_env::quarter_letters(
                shown, {{x - 20, y - 20}, {x + 20, y - 20}, {x - 20, y + 20}, {x + 20, y + 20}}),
            "BRYL");
    }
}
