// The version window: its version line, and how it goes out of sight.
#include "app/forms.h"
#include "app/vrjo.h"
#include "support/test_env.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"

#include <QTest>
#include <functional>

namespace {

TEST(VersionLine, MinorHasTwoDigits) {
    EXPECT_EQ(version_line(1, 5, 12), "Ver1.05  Revision12");
    EXPECT_EQ(version_line(1, 10, 0), "Ver1.10  Revision0");
    EXPECT_EQ(version_line(65535, 65535, 65535), "Ver65535.65535  Revision65535");
}

using VersionWindow = test_env::Program;

TEST_F(VersionWindow, LoadedHiddenAtFirstActivationAndUnloadedWithTheMainWindow) {
    main_fm->Show();
    ASSERT_TRUE(vrjo.loaded());
    EXPECT_FALSE(vrjo->visible());
    EXPECT_TRUE(vrjo->Label5.caption().startsWith("Ver"));
    menu_fm->vrj_Click();
    EXPECT_TRUE(vrjo->window()->isVisible());
    main_fm->window()->close();
    EXPECT_FALSE(vrjo.loaded());
    EXPECT_EQ(store.flushes, 1); // settings saved after the windows went
}

TEST_F(VersionWindow, ClicksAndCharacterKeysHideIt) {
    main_fm->Show();
    test_env::settle();
    Vrjo& v = *vrjo;
    const auto click = [](tk::Control& c) {
        return [&c] { QTest::mouseClick(c.widget(), Qt::LeftButton); };
    };
    const auto key = [&v](Qt::Key k) { return [&v, k] { QTest::keyClick(v.window(), k); }; };
    struct Row {
        const char* name{};
        std::function<void()> act{};
        bool hidden{};
    } rows[] = {
        {.name = "picture", .act = click(v.Image3), .hidden = true},
        {.name = "transparent Label3", .act = click(v.Label3), .hidden = true},
        {.name = "transparent Label4", .act = click(v.Label4), .hidden = true},
        {.name = "version line", .act = click(v.Label5), .hidden = true},
        {.name = "character", .act = key(Qt::Key_A), .hidden = true},
        {.name = "Esc", .act = key(Qt::Key_Escape), .hidden = true},
        {.name = "arrow", .act = key(Qt::Key_Left), .hidden = false},
        {.name = "function key", .act = key(Qt::Key_F1), .hidden = false},
        {.name = "main window active", .act = [] { main_fm->Form_Activate(); }, .hidden = true},
    };
    for (const Row& r : rows) {
        menu_fm->vrj_Click();
        r.act();
        EXPECT_EQ(v.visible(), !r.hidden) << r.name;
        EXPECT_EQ(&*vrjo, &v) << r.name; // hidden, never unloaded
    }
}

} // namespace
