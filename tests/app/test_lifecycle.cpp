// The main window at start-up, its keyboard shortcuts and its closing.
#include "app/forms.h"
#include "app/module2.h"
#include "support/test_env.h"
#include "toolkit/timer.h"
#include "ui/main_fm.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QTest>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace Module2;

namespace {

// Timers run on a hand-driven clock; the window is unloaded before the clock goes.
class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override { store = &test_env::fresh_program(); }
    void TearDown() override {
        main_fm.unload();
        test_env::settle();
    }
    tk::ScopedManualClock clock;
    test_env::MemoryStore* store = nullptr;
};

TEST_F(MainWindow, StartsWithOnlyTheTopBand) {
    MainForm& m = *main_fm;
    m.Show();
    EXPECT_EQ(m.caption(), QStringLiteral("PIKUTA (*.BMP) (*.DIB) (*.JPG) (*.EMF)"));
    EXPECT_EQ(m.window()->windowTitle(), m.caption());
    EXPECT_EQ(m.width(), 8880);
    EXPECT_EQ(m.height(), 2925); // frame height 0 + 2925
    const double bottom = m.scaleHeight();
    for (const tk::Frame* f : {&m.Frame4, &m.Frame1}) {
        SCOPED_TRACE(f->name().toStdString());
        EXPECT_TRUE(f->widget()->isVisible());
        EXPECT_LE(f->top() + f->height(), bottom);
        EXPECT_LE(f->left() + f->width(), m.scaleWidth());
    }
    EXPECT_EQ(m.Frame3.top(), 2880);
    EXPECT_LE(bottom - m.Frame3.top(), 45); // no more than its top edge shows
    EXPECT_GE(m.pic.top(), bottom);
    for (const tk::PictureBox* c : {&m.pic_clp, &m.pic_moto, &m.Picture1}) {
        SCOPED_TRACE(c->name().toStdString());
        EXPECT_FALSE(c->visible());
        EXPECT_FALSE(c->widget()->isVisible());
    }
    EXPECT_EQ(play_no, -1);
    EXPECT_TRUE(app_path.endsWith(QDir::separator()));
    EXPECT_FALSE(app_path.endsWith(QString(2, QDir::separator())));
}

TEST_F(MainWindow, LowerCaseShortcutsRunTheirCommands) {
    struct Case {
        int key;
        bool playing_before;
        bool playing_after; // play_flag and Timer1
        bool delayed_load;  // Timer2, started by BACK and NEXT
    };
    const Case cases[] = {
        {'s', true, false, false},  {'S', true, true, false},   {'p', false, true, false},
        {'P', false, false, false}, {'b', false, false, true},  {'B', false, false, false},
        {'n', false, false, true},  {'N', false, false, false}, {'c', true, true, false},
        {'w', true, true, false},   {'x', true, true, false},   {0x3042, true, true, false},
    };
    MainForm& m = *main_fm;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        m.Command4_Click();
        play_flag = c.playing_before ? 1 : 0;
        m.Timer1.setEnabled(c.playing_before);
        int key = c.key;
        m.Form_KeyPress(key);
        EXPECT_EQ(key, c.key); // the focused control still gets the key
        EXPECT_EQ(play_flag, c.playing_after ? 1 : 0);
        EXPECT_EQ(m.Timer1.enabled(), c.playing_after);
        EXPECT_EQ(m.Timer2.enabled(), c.delayed_load);
    }
    m.copy_ok = 1;
    for (int key : {'c', 'w'}) {
        int k = key;
        m.Form_KeyPress(k);
        EXPECT_EQ(k, key);
    }
}

TEST_F(MainWindow, TypedKeysReachTheWindowFirst) {
    MainForm& m = *main_fm;
    m.Show();
    // As the window system delivers them: to the window, then on to the focused control.
    QWindow* window = m.window()->windowHandle();
    m.List1.widget()->setFocus();
    for (Qt::Key key : {Qt::Key_P, Qt::Key_S, Qt::Key_P}) {
        QTest::keyClick(window, key);
        EXPECT_EQ(play_flag, key == Qt::Key_P ? 1 : 0);
    }
    // Sent straight to a control, one after the other.
    for (Qt::Key key : {Qt::Key_S, Qt::Key_P, Qt::Key_S}) {
        QTest::keyClick(m.List1.widget(), key);
        EXPECT_EQ(play_flag, key == Qt::Key_P ? 1 : 0);
    }
    EXPECT_FALSE(m.Timer1.enabled());
}

TEST_F(MainWindow, ClosingStopsEverythingAndSavesTheNormalPosition) {
    store->values = {{"n_left", "1200"},   {"n_top", "900"},       {"w_width", "9000"},
                     {"w_height", "7000"}, {"w_left", "0"},        {"w_top", "0"},
                     {"opc1_flag", "1"},   {"opc2_flag", "1"},     {"opc3_flag", "0"},
                     {"opc4_flag", "1"},   {"HScroll1_Value", "3"}};
    MainForm& m = *main_fm;
    m.Show();
    m.setWindowState(tk::Maximized);
    ASSERT_EQ(m.width(), 19200);
    m.Command3_Click();
    kensaku_flag = kSearchRunning;
    // The close box: the window manager asks the window to close.
    m.window()->close();
    EXPECT_EQ(kensaku_flag, 0);
    EXPECT_EQ(play_flag, 0);
    EXPECT_EQ(store->flushes, 1);
    EXPECT_EQ(store->values["n_left"], "1200");
    EXPECT_EQ(store->values["n_top"], "900");
    EXPECT_FALSE(main_fm.loaded());
    EXPECT_FALSE(kensaku_set.loaded());
    EXPECT_FALSE(menu_fm.loaded());
}

TEST_F(MainWindow, JapaneseCaptionsHaveEveryGlyph) {
    ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
        << "the Japanese gothic font is missing: install the package fonts-ipafont-gothic";
    MainForm& m = *main_fm; // opc4_flag 1 from the empty store: tool tips on
    const QFont font = QApplication::font();
    EXPECT_TRUE(font.family().startsWith(QStringLiteral("IPA"))) << font.family().toStdString();
    for (const QString& text : {m.Frame1.caption(), m.Label6.caption(), m.Command5.toolTipText(),
                                m.Command7.caption(), m.Label3.caption()}) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_FALSE(text.isEmpty());
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine().setLineWidth(100000);
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun& run : layout.glyphRuns())
            for (quint32 index : run.glyphIndexes()) {
                ++glyphs;
                EXPECT_NE(index, 0u);
            }
        EXPECT_GT(glyphs, 0);
    }
}

} // namespace
