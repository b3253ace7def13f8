// The version window: its version line, and how it goes out of sight.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/vrjo.h"
#include "support/test_env.h"

#include <QTest>
#include <functional>
#include <tuple>

namespace {

using VersionWindow = test_env::Program;

// Unloaded with the main window: Search.ClosingTheMainWindowDuringASearchEndsEverythingOnce.
TEST_F(VersionWindow, LoadedHiddenAtFirstActivationCentredOnItsScreen) {
    main_fm->Show();
    ASSERT_TRUE(vrjo.loaded());
    EXPECT_FALSE(vrjo->visible());
    EXPECT_TRUE(vrjo->Label5.caption().startsWith("Ver"));
    // Centred on the screen that holds the main window: the primary one, then the second one
    // (15360 x 11520 twips to the right of the first one's 19200).
    for (const double left : {1500, 21000}) {
        main_fm->move_window(left, 1500, 8880, 2925);
        menu_fm->vrj_Click();
        EXPECT_TRUE(vrjo->window()->isVisible());
        const double centre_x = left < 19200 ? 9600 : 19200 + 7680;
        EXPECT_NEAR(vrjo->left() + vrjo->width() / 2, centre_x, 15) << left;
        vrjo->Hide();
    }
}

TEST_F(VersionWindow, ClicksAndCharacterKeysHideIt) {
    main_fm->Show();
    test_env::settle();
    Vrjo& v = *vrjo;
    const auto click = [](tk::Control& c, Qt::MouseButton button = Qt::LeftButton) {
        return [&c, button] { QTest::mouseClick(c.widget(), button); };
    };
    const auto key = [&v](Qt::Key k) { return [&v, k] { QTest::keyClick(v.window(), k); }; };
    // The row, what is done; whether the window is hidden afterwards.
    const std::tuple<const char*, std::function<void()>, bool> cases[] = {
        {"picture", click(v.Image3), true},
        {"transparent Label3", click(v.Label3), true},
        {"version line", click(v.Label5), true},
        {"text, right button", click(v.Label2, Qt::RightButton), true},
        {"transparent Label4, right button", click(v.Label4, Qt::RightButton), true},
        {"character", key(Qt::Key_A), true},
        {"Esc", key(Qt::Key_Escape), true},
        {"arrow", key(Qt::Key_Left), false},
        {"main window active", [] { main_fm->Form_Activate(); }, true},
    };
    for (const auto& [name, act, hidden] : cases) {
        menu_fm->vrj_Click();
        act();
        EXPECT_EQ(v.visible(), !hidden) << name;
        EXPECT_EQ(&*vrjo, &v) << name; // hidden, never unloaded
    }
}

} // namespace
