// The version window: its version line, and how it goes out of sight.
#include "app/forms.h"
#include "app/vrjo.h"
#include "support/test_env.h"
#include "ui/main_fm.h"
#include "ui/menu_fm.h"

#include <QTest>
#include <functional>

namespace {

TEST(VersionLine, MinorHasTwoDigits) {
    struct Row {
        const char* name{};
        std::uint16_t major{}, minor{}, revision{};
        QString expected{};
    } rows[] = {
        {.name = "one-digit minor",
         .major = 1,
         .minor = 5,
         .revision = 12,
         .expected = "Ver1.05  Revision12"},
        {.name = "two-digit minor",
         .major = 1,
         .minor = 10,
         .revision = 0,
         .expected = "Ver1.10  Revision0"},
        {.name = "largest",
         .major = 65535,
         .minor = 65535,
         .revision = 65535,
         .expected = "Ver65535.65535  Revision65535"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(version_line(r.major, r.minor, r.revision), r.expected) << r.name;
}

using VersionWindow = test_env::Program;

TEST_F(VersionWindow, LoadedHiddenAtFirstActivationThenShownByTheMenu) {
    main_fm->Show();
    test_env::settle();
    ASSERT_TRUE(vrjo.loaded());
    EXPECT_FALSE(vrjo->visible());
    EXPECT_TRUE(vrjo->Label5.caption().startsWith("Ver"));
    menu_fm->vrj_Click();
    test_env::settle();
    EXPECT_TRUE(vrjo->window()->isVisible());
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
        std::function<void()> act;
        bool hidden{};
    } rows[] = {
        {.name = "picture", .act = click(v.Image3), .hidden = true},
        {.name = "credit", .act = click(v.Label1), .hidden = true},
        {.name = "description", .act = click(v.Label2), .hidden = true},
        {.name = "transparent Label3", .act = click(v.Label3), .hidden = true},
        {.name = "transparent Label4", .act = click(v.Label4), .hidden = true},
        {.name = "version line", .act = click(v.Label5), .hidden = true},
        {.name = "character", .act = key(Qt::Key_A), .hidden = true},
        {.name = "Enter", .act = key(Qt::Key_Return), .hidden = true},
        {.name = "Esc", .act = key(Qt::Key_Escape), .hidden = true},
        {.name = "arrow", .act = key(Qt::Key_Left), .hidden = false},
        {.name = "function key", .act = key(Qt::Key_F1), .hidden = false},
        {.name = "main window active", .act = [] { main_fm->Form_Activate(); }, .hidden = true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        menu_fm->vrj_Click();
        ASSERT_TRUE(v.visible());
        r.act();
        EXPECT_EQ(v.visible(), !r.hidden);
        EXPECT_EQ(&*vrjo, &v); // hidden, never unloaded
    }
}

TEST_F(VersionWindow, UnloadedWithTheMainWindow) {
    main_fm->Show();
    menu_fm->vrj_Click();
    main_fm->window()->close();
    EXPECT_FALSE(vrjo.loaded());
    EXPECT_EQ(store.flushes, 1);
}

} // namespace
