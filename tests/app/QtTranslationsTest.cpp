// Qt's own dialogs speak Japanese once the program's windows are made.

#include <memory>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "app/Program.h"
#include "app/QtTranslations.h"
#include "views/ViewsTestSupport.h"

TEST(QtTranslations, MessageBoxesAndTheSaveDialogSpeakJapanese)
{
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainform> main(CreateProgramWindows());

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), u"はい(&Y)"_qs);
    EXPECT_EQ(box.button(QMessageBox::No)->text(), u"いいえ(&N)"_qs);

    // Qt's own save dialog, as the CSV and iCalendar exports show it.
    QFileDialog save(nullptr, u"CSV形式で保存"_qs);
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    const QDialogButtonBox* buttons = save.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Save)->text(), u"保存(&S)"_qs);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_qs);

    // Made once: a second call keeps the one already installed.
    EXPECT_TRUE(InstallQtTranslations());
}
