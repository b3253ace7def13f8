// Settings read at load (written at exit: MainWindow.ClosingStopsEverything...), and the
// placement of the main window.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "platform/drives.h"
#include "support/test_env.h"

#include <QDir>
#include <array>
#include <cstdint>
#include <map>

using namespace Module2;

namespace {

constexpr const char* kAbsent = nullptr;

TEST(LoadSettings, EveryKindOfStore) {
    // What the store holds: the full store with `changes` (kAbsent removes a key, "*" all);
    // whether the defaults step ran; n_left, n_top; where the window ends; the speed.
    const std::tuple<const char*, std::map<QString, const char*>, bool, int, int, double, double,
                     int>
        cases[] = {
            {"empty store", {{"*", kAbsent}}, true, 0, 0, 0, 0, 3},
            {"full store", {}, false, 1200, 900, 1200, 900, 5},
            {"opc3_flag missing", {{"opc3_flag", kAbsent}}, true, 1200, 900, 0, 0, 3},
            {"speed 11", {{"HScroll1_Value", "11"}}, true, 1200, 900, 0, 0, 3},
            {"speed 3 keeps 1500 ms", {{"HScroll1_Value", "3"}}, false, 1200, 900, 1200, 900, 3},
            {"speed 2.5 rounds to 2", {{"HScroll1_Value", "2.5"}}, false, 1200, 900, 1200, 900, 2},
            {"n_left not a number", {{"n_left", "abc"}}, true, 0, 0, 0, 0, 3},
            {"n_left 1501.5", {{"n_left", "1501.5"}}, false, 1502, 900, 1500, 900, 5},
            {"flag 256", {{"opc1_flag", "256"}}, true, 1200, 900, 0, 0, 3},
            {"n_left rounds past 32 bits", {{"n_left", "2147483647.5"}}, true, 0, 0, 0, 0, 3},
            {"n_left 32-bit floor", {{"n_left", "-2147483648"}}, false, INT32_MIN, 900, 0, 900, 5},
            {"n_left off every screen", {{"n_left", "40000"}}, false, 40000, 900, 10440, 900, 5},
            {"surrounding blanks", {{"n_left", " 1200 "}}, false, 1200, 900, 1200, 900, 5},
            {"trailing garbage", {{"n_top", "900px"}}, true, 1200, 0, 0, 0, 3},
            {"not finite", {{"w_height", "inf"}}, true, 1200, 900, 0, 0, 3},
            {"folder gone", {{"f_path", "/no such folder"}}, false, 1200, 900, 1200, 900, 5},
            {"drive gone", {{"moto_dr", "/no/such/drive/"}}, false, 1200, 900, 1200, 900, 5},
        };
    for (const auto& [what, changes, defaults, left_read, top_read, left, top, speed] : cases) {
        SCOPED_TRACE(what);
        test_env::TempTree tree;
        tree.file("a.jpg");
        tree.file("b.bmp"); // listed by the default types, not by the stored ones
        auto& values = test_env::fresh_program().values;
        values = test_env::full_store(tree.path());
        for (const auto& [key, value] : changes) {
            if (key == "*") values.clear();
            if (value == kAbsent) values.erase(key);
            if (value != kAbsent) values[key] = QString::fromUtf8(value);
        }
        MainForm& m = *main_fm;
        EXPECT_EQ(test_env::place(m), (test_env::Place{left, top, 8760, 2895}));
        EXPECT_EQ(std::pair(placement.n_left, placement.n_top), std::pair(left_read, top_read));
        EXPECT_EQ(std::tuple(m.HScroll1.value(), m.Label4.caption(), m.Timer1.interval()),
                  std::tuple(speed, QString::number(speed),
                             std::map<int, int>{{2, 200}, {3, 1500}, {5, 1250}}.at(speed)));
        EXPECT_FALSE(m.Timer1.enabled());
        using Eight = std::array<int, 8>;
        EXPECT_EQ((Eight{options.opc1_flag, options.opc2_flag, options.opc3_flag, options.opc4_flag,
                         placement.w_width, placement.w_height, placement.w_left, placement.w_top}),
                  (defaults ? Eight{1, 1, 0, 1, 8880, 6765, 0, 0}
                            : Eight{0, 1, 1, 0, 9000, 7000, -300, 450}));
        // Drive and folder are restored only when the rest was read, and the folder is there.
        const bool restored = !defaults && values["f_path"] == tree.path();
        EXPECT_EQ(std::tuple(m.Dir1.path(), m.List1.listCount()),
                  std::tuple(restored ? tree.path() : QDir::toNativeSeparators(QDir::currentPath()),
                             restored ? 1 : 0));
        EXPECT_TRUE(defaults || m.Drive1.drive() == platform::drive_of(tree.path()));
        EXPECT_TRUE(test_env::messages().isEmpty());
    }
}

TEST(MoveWindow, KeepsTheWindowOnTheScreenAndAtLeast1800) {
    // Asked for, and where it ends; the primary screen is 19200 x 15360 twips, the second one
    // 15360 x 11520 to its right.
    const std::array<double, 8> cases[] = {
        {-500, 100, 1000, 20000, 0, 0, 1800, 15360},
        {11000, 0, 8880, 2925, 19200 - 8880, 0, 8880, 2925},
        {600, 300, 1799, 1799, 600, 300, 1800, 1800},
        {-1, -1, 30000, 4500, 0, 0, 19200, 4500},
        {900, 20000, 4500, 4500, 900, 15360 - 4500, 4500, 4500},
        {21000, 1500, 8880, 6765, 21000, 1500, 8880, 6765}, // on the second screen
        {33000, 9000, 8880, 6765, 34560 - 8880, 11520 - 6765, 8880, 6765},
        {21000, 13000, 8880, 2925, 19200 - 8880, 15360 - 2925, 8880, 2925}, // on none
    };
    test_env::fresh_program();
    MainForm& m = *main_fm;
    m.Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << "," << c[1] << "," << c[2] << "," << c[3]);
        m.move_window(c[0], c[1], c[2], c[3]);
        // Without moving_flag set during the resize it raises, the window would snap back to
        // the compact start-up size.
        EXPECT_EQ(test_env::place(m), (test_env::Place{c[4], c[5], c[6], c[7]}));
        EXPECT_EQ(m.placing.moving_flag, 0);
    }
}

} // namespace
