#include "support/test_env.h"

#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "app/settings.h"
#include "app/vrjo.h"
#include "platform/drives.h"
#include "toolkit/events.h"

namespace test_env {

MemoryStore& fresh_program() {
    unload_if_loaded(main_fm);
    unload_if_loaded(kensaku_set);
    unload_if_loaded(menu_fm);
    unload_if_loaded(vrjo);
    settle();
    Module2::reset_state();
    auto store = std::make_unique<MemoryStore>();
    MemoryStore& ref = *store;
    settings::set_store(std::move(store));
    platform::set_screen_awake(std::make_unique<AwakeRecorder>());
    messages().clear();
    tk::set_user_effects({[](const QString& text, const QString& title) {
                              messages().push_back(title + QLatin1Char('|') + text);
                          },
                          [] {}});
    return ref;
}

std::map<QString, QString> full_store(const QString& folder) {
    return {{"n_left", "1200"},   {"n_top", "900"},        {"w_width", "9000"},
            {"w_height", "7000"}, {"w_left", "-300"},      {"w_top", "450"},
            {"opc1_flag", "0"},   {"opc2_flag", "1"},      {"opc3_flag", "1"},
            {"opc4_flag", "0"},   {"HScroll1_Value", "5"}, {"moto_dr", platform::drive_of(folder)},
            {"f_path", folder}};
}

QStringList entries() {
    QStringList out;
    for (int i = 0; i < main_fm->List1.listCount(); ++i)
        out.push_back(main_fm->List1.list(i));
    return out;
}

void fill_list(int count, const std::vector<int>& marked) {
    main_fm->List1.clear();
    for (int i = 0; i < count; ++i)
        main_fm->List1.addItem(QStringLiteral("/p/%1.bmp").arg(i));
    for (int i : marked)
        main_fm->List1.setSelected(i, true);
}

Program::~Program() {
    unload_if_loaded(main_fm);
    settle();
}

} // namespace test_env
