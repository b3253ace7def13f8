// The main window at start-up, its keyboard shortcuts and its closing.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "support/test_env.h"

#include <QAbstractScrollArea>
#include <QDir>
#include <QListWidget>
#include <tuple>

using namespace Module2;

namespace {

using MainWindow = test_env::Program;

TEST_F(MainWindow, StartsWithOnlyTheTopBand) {
    MainForm& m = *main_fm;
    m.Show();
    EXPECT_EQ(m.window()->windowTitle(), m.caption());
    const double bottom = m.scaleHeight();
    for (const tk::Frame* f : {&m.Frame4, &m.Frame1}) {
        SCOPED_TRACE(f->name().toStdString());
        EXPECT_TRUE(f->widget()->isVisible());
        EXPECT_LE(f->top() + f->height(), bottom);
        EXPECT_LE(f->left() + f->width(), m.scaleWidth());
    }
    EXPECT_LE(bottom - m.Frame3.top(), 15); // its top edge, which the band's frames share
    EXPECT_GE(m.pic.top(), bottom);
    for (const tk::PictureBox* c : {&m.pic_clp, &m.pic_moto, &m.Picture1})
        EXPECT_FALSE(c->visible() || c->widget()->isVisible()) << c->name().toStdString();
    EXPECT_EQ(play.play_no, -1);
    EXPECT_TRUE(app_path.endsWith(QDir::separator()));
    EXPECT_FALSE(app_path.endsWith(QString(2, QDir::separator())));
}

TEST_F(MainWindow, NoControlCoversAnothersText) {
    MainForm& m = *main_fm;
    m.Show();
    for (int i = 0; i < 40; ++i)
        m.List1.addItem(QStringLiteral("/a/folder/with/a/rather/long/name/picture %1.jpg").arg(i));
    test_env::settle();
    // Where the rows of a list are drawn, in the coordinates of the list's container.
    const auto rows = [](const tk::Control& list) {
        const auto* view = static_cast<const QAbstractScrollArea*>(list.widget());
        return view->viewport()->geometry().translated(list.pixelRect().topLeft());
    };
    const auto row_height = [](const tk::Control& list) {
        return static_cast<const QListWidget*>(list.widget())->sizeHintForRow(0);
    };
    const QRect dir_rows = rows(m.Dir1), list_rows = rows(m.List1);
    const int number = m.Label2.widget()->fontMetrics().horizontalAdvance(QStringLiteral("32767"));
    const std::tuple<const char*, bool> cases[] = {
        {"search button beside the folders", !m.Command7.pixelRect().intersects(dir_rows)},
        {"select-all button beside the entries", !m.Command6.pixelRect().intersects(list_rows)},
        {"whole folder rows", dir_rows.height() % row_height(m.Dir1) == 0},
        {"whole entry rows", list_rows.height() % row_height(m.List1) == 0},
        {"five-digit list number", number <= m.Label2.widget()->contentsRect().width()},
    };
    for (const auto& [name, holds] : cases)
        EXPECT_TRUE(holds) << name;
}

TEST_F(MainWindow, LowerCaseShortcutsRunTheirCommands) {
    // The key, whether playing before, then play_no (from 0, with three marked entries),
    // whether playing (play_flag and Timer1) and the delayed load of BACK and NEXT (Timer2).
    const std::tuple<int, bool, int, bool, bool> cases[] = {
        {'n', false, 1, false, true}, {'b', false, 2, false, true},   {'p', false, 1, true, false},
        {'s', true, 0, false, false}, {'N', false, 0, false, false},  {'S', true, 0, true, false},
        {'c', true, 0, true, false},  {0x3042, true, 0, true, false},
    };
    MainForm& m = *main_fm;
    test_env::fill_list(3, {0, 1, 2});
    for (const auto& [key, playing_before, expected_no, playing, delayed_load] : cases) {
        SCOPED_TRACE(key);
        m.Command4_Click();
        play.play_no = 0;
        play.play_flag = playing_before;
        m.Timer1.setEnabled(playing_before);
        int k = key;
        m.Form_KeyPress(k);
        EXPECT_EQ(k, key); // the focused control still gets the key
        EXPECT_EQ(
            std::tuple(play.play_no, play.play_flag == 1, m.Timer1.enabled(), m.Timer2.enabled()),
            std::tuple(expected_no, playing, playing, delayed_load));
    }
}

// The search ended, every window unloaded, the settings written once:
// Search.ClosingTheMainWindowDuringASearchEndsEverythingOnce.
TEST_F(MainWindow, ClosingStopsEverythingAndSavesTheNormalPosition) {
    test_env::TempTree tree;
    store.values = test_env::full_store(tree.path());
    MainForm& m = *main_fm;
    m.Show();
    m.move_window(2400, 1500, 8880, 2895);
    // Maximised by the window manager before any picture: the compact window stays.
    const test_env::Place compact = test_env::place(m);
    m.setWindowState(tk::Maximized);
    EXPECT_EQ(m.windowState(), tk::Normal);
    EXPECT_EQ(test_env::place(m), compact);
    m.picture.pic_ok = 1;
    menu_fm->hyouji_set(1);
    ASSERT_EQ(m.width(), 19200);
    m.Command3_Click();
    m.window()->close(); // the close box: the window manager asks the window to close
    EXPECT_EQ(play.play_flag, 0);
    EXPECT_EQ(store.values["n_left"] + "," + store.values["n_top"], "2400,1500");
}

} // namespace
