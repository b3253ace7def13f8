// What screen readers learn of the four windows' controls.
#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "app/vrjo.h"
#include "support/test_env.h"
#include "ui/texts.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <initializer_list>
#include <tuple>

namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(object);
    EXPECT_TRUE(a) << object->objectName().toStdString();
    return a;
}
QString said(tk::Control& c, QAccessible::Text what) {
    QAccessibleInterface* a = accessible(c.widget());
    return a ? a->text(what) : QString();
}

using Accessibility = test_env::Program;

TEST_F(Accessibility, EveryControlNamedTipsDescribeEvenWithBalloonHelpOff) {
    MainForm& m = *main_fm;
    m.Show(); // loads the search and the version window
    Module2::options.opc4_flag = 0;
    Module2::set_tooltips();
    for (tk::Form* window : std::initializer_list<tk::Form*>{&m, &*kensaku_set, &*vrjo})
        for (tk::Control* c : window->controls()) {
            if (!c->widget()) continue;
            EXPECT_FALSE(said(*c, QAccessible::Name).isEmpty())
                << window->name().toStdString() << "." << c->name().toStdString();
        }
    for (const texts::Tip& tip : texts::fixed_tips()) {
        tk::Form& window =
            QLatin1String(tip.window) == m.name() ? static_cast<tk::Form&>(m) : *kensaku_set;
        tk::Control* c = window.control(QString::fromUtf8(tip.control));
        ASSERT_TRUE(c) << tip.control;
        EXPECT_EQ(said(*c, QAccessible::Description), QString::fromUtf8(tip.text)) << tip.control;
    }
    QAccessibleInterface* menu = accessible(&menu_fm->menyu);
    ASSERT_TRUE(menu);
    EXPECT_FALSE(menu->text(QAccessible::Name).isEmpty());
    for (int i = 0; i < menu->childCount(); ++i) {
        if (menu->child(i)->role() == QAccessible::Separator) continue;
        EXPECT_FALSE(menu->child(i)->text(QAccessible::Name).isEmpty()) << i;
    }
}

TEST_F(Accessibility, PictureAreaNamesThePictureShownSpeedBarItsValue) {
    test_env::TempTree tree;
    MainForm& m = *main_fm;
    m.Show();
    // The row: what is shown, then what the picture area, the speed bar and the list number say.
    const std::tuple<QString, int, QString, QString, QString> rows[] = {
        {"", 3, "画像", "3", "ファイルリスト番号"},
        {"夏 の 海.bmp", 7, "画像 夏 の 海.bmp", "7", "ファイルリスト番号 1"},
        {"damaged.bmp", 7, "画像", "7", "ファイルリスト番号 2"}, // nothing on show
    };
    for (const auto& [file, speed, picture, value, number] : rows) {
        SCOPED_TRACE(file.toStdString());
        if (!file.isEmpty()) {
            m.List1.addItem(file.startsWith("damaged") ? tree.file(file, "BM?") : tree.bmp(file));
            m.List1.setSelected(m.List1.listCount() - 1, true);
            m.Command2_Click();
            clock.advance(1000);
        }
        m.HScroll1.setValue(speed);
        EXPECT_EQ(said(m.pic, QAccessible::Name), picture);
        EXPECT_EQ(said(m.HScroll1, QAccessible::Name), "表示速度");
        EXPECT_EQ(said(m.HScroll1, QAccessible::Value), value);
        EXPECT_EQ(accessible(m.HScroll1.widget())->valueInterface()->currentValue().toInt(), speed);
        EXPECT_EQ(said(m.Label4, QAccessible::Name), "表示速度 " + value);
        EXPECT_EQ(said(m.Label2, QAccessible::Name), number);
    }
}

} // namespace
