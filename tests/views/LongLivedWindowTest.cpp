// The dialogs and report windows are made when first asked for, as children
// of the main window, and are gone with it.

#include <gtest/gtest.h>

#include "views/Inputf.h"
#include "views/ViewsTestSupport.h"

TEST(LongLivedWindow, MadeOnFirstUseUnderTheMainWindowAndGoneWithIt)
{
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    EXPECT_EQ(InputForm.Get(), nullptr) << "made with no main window";
    {
        ProgramWindows program(data);
        EXPECT_EQ(InputForm.Existing(), nullptr) << "made at start";
        TInputForm* form = InputForm;
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->parentWidget(), &program.Main());
        EXPECT_EQ(InputForm.Get(), form);
    }
    EXPECT_EQ(InputForm.Existing(), nullptr);
    EXPECT_EQ(InputForm.Get(), nullptr) << "made again after the main window";
}
