#include "app/DataFolderForm.h"

#include <functional>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "views/ViewsTestSupport.h"
#include "app/About.h"
#include "core/Backups.h"
#include "core/CalendarFill.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"
#include "views/Ycalf.h"

namespace {

// Answers the real message boxes as they come up, one step for each, and
// keeps their texts.
class RealBoxes {
public:
    explicit RealBoxes(std::vector<std::function<void(QMessageBox&)>> steps)
        : steps_(std::move(steps))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == last_ || !box->isActiveWindow() || steps_.empty())
                return;
            last_ = box;
            texts << box->text();
            const auto step = steps_.front();
            steps_.erase(steps_.begin());
            step(*box);
        });
        timer_.start(20);
    }
    QStringList texts;

private:
    std::vector<std::function<void(QMessageBox&)>> steps_;
    QTimer timer_;
    QMessageBox* last_ = nullptr;
};

void Press(QMessageBox& box, QMessageBox::StandardButton button) { box.button(button)->click(); }
void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

QByteArray Days(std::initializer_list<QDate> days)
{
    QByteArray bytes;
    for (const QDate& day : days) {
        const LeaveRecord r = LeaveRecord::Make(day.year(), day.month(), day.day(), 1, {});
        bytes += QByteArray(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size);
    }
    return bytes;
}

} // namespace

// A folder typed in the window: after the question, the data file goes
// there; the settings file already there is kept when the user says いいえ
// to replacing it, and so is a data file there, whose records the open
// calendar then shows. The about box names the new folder.
TEST(DataFolderFormTest, MovesToTheFolderTypedAndShowsItsData)
{
    FixedToday today { QDate(2026, 8, 12) };
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    QTemporaryDir target;
    const QString to = target.path() + u'/';
    LeaveStore::SaveEntry(2026, 8, 10, 1, {});
    ProgramWindows program(data);
    {
        QFile file(to + QStringLiteral("Holiday.d00"));
        const LeaveRecord r = LeaveRecord::Make(2026, 8, 12, 3, {});
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size), LeaveRecord::Size);
    }
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    const int row = YearCalendarRow(8);
    const QString before = grid.Cells(12, row);

    program.Main().DataFolder1->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(DataFolderForm));
    ASSERT_TRUE(BecomesActive(DataFolderForm));
    EXPECT_EQ(DataFolderForm->Current->text(), data.Path());
    QTest::keyClicks(QApplication::focusWidget(), target.path());
    dialogs.answers = { MsgAnswer::Yes, MsgAnswer::No };
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages.back().text.contains(QStringLiteral("Holiday.d00")));
    EXPECT_FALSE(DataFolderForm->isVisible());
    EXPECT_EQ(DataDirectory(), to);
    EXPECT_NE(grid.Cells(12, row), before);
    AboutBox->Open();
    EXPECT_EQ(AboutBox->Copyright->toolTip(), to);
    AboutBox->close();
}

// 参照 asks through the program's dialogs, like every other question, and
// puts the folder chosen into the field; a cancelled choice leaves it.
TEST(DataFolderFormTest, BrowseTakesTheFolderChosen)
{
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    ProgramWindows program(data);
    program.Main().DataFolder1->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(DataFolderForm));
    dialogs.folderAnswers = { QStringLiteral("/srv/leave"), std::nullopt };

    QTest::mouseClick(DataFolderForm->Button3, Qt::LeftButton);
    EXPECT_EQ(DataFolderForm->Edit1->text(), QStringLiteral("/srv/leave"));
    QTest::mouseClick(DataFolderForm->Button3, Qt::LeftButton);
    EXPECT_EQ(DataFolderForm->Edit1->text(), QStringLiteral("/srv/leave"));
    DataFolderForm->close();
}

// Where the new folder holds data already, the question shows both sides;
// Enter keeps the folder's data (this folder's goes to its backup/), and
// Esc at the second opening moves nothing.
TEST(DataFolderFormTest, EnterOnTheQuestionKeepsTheFoldersData)
{
    FixedToday today { QDate(2026, 12, 8) };
    TempDataDirectory data;
    QTemporaryDir target;
    const QString to = target.path() + u'/';
    LeaveStore::SaveEntry(2026, 12, 8, 1, {});
    const QByteArray theirs = Days({ QDate(2026, 11, 27), QDate(2026, 11, 30) });
    {
        QFile file(to + QStringLiteral("Holiday.d00"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(theirs) == theirs.size());
    }
    const QString from = data.Path();
    ProgramWindows program(data);
    const auto move = [&](const QString& folder, Qt::Key answer) {
        RealBoxes boxes(
            { [](QMessageBox& box) { Press(box, QMessageBox::Yes); }, [answer](QMessageBox&) { Key(answer); } });
        program.Main().DataFolder1->trigger();
        EXPECT_TRUE(BecomesActive(DataFolderForm));
        DataFolderForm->Edit1->setText(folder);
        Key(Qt::Key_Return);
        return boxes.texts;
    };

    const QStringList asked = move(target.path(), Qt::Key_Return);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].contains(QStringLiteral("今のデータ: 1日（最終 2026/12/08）")));
    EXPECT_TRUE(asked[1].contains(QStringLiteral("フォルダーのデータ: 2日（最終 2026/11/30）")));
    EXPECT_EQ(DataDirectory(), to);
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")), theirs);
    ASSERT_EQ(Backups::List().size(), 1u);
    EXPECT_EQ(Backups::Summarize(Backups::List().front().DataPath).Days, 1);

    EXPECT_EQ(move(from, Qt::Key_Escape).size(), 2);
    EXPECT_EQ(DataDirectory(), to);
    EXPECT_TRUE(DataFolderForm->isVisible());
    DataFolderForm->close();
}
