#include "app/forms.h"
#include "app/module2.h"
#include "support/test_env.h"
#include "ui/main_fm.h"

#include <gtest/gtest.h>

TEST(MainWindow, LoadsAndShowsTopBand)
{
    test_env::fresh_program();
    main_fm->Show();
    EXPECT_EQ(main_fm->caption(), Module2::kMainTitle);
    EXPECT_DOUBLE_EQ(main_fm->width(), 8880);
    EXPECT_DOUBLE_EQ(main_fm->height(), 2925);
}
