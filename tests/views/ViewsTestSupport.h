#pragma once

// The program's windows as main.cpp creates them, in a temporary data
// directory with a fixed today, for tests that use the calendars as a user
// would.

#include <memory>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "TestSupport.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "core/LeaveRecord.h"
#include "views/Chymf.h"
#include "views/Inputf.h"
#include "widgets/StrCGrid.h"

class ProgramWindows {
public:
    // Settings are written before the main window first shows. The main
    // window is large enough for the whole fiscal-year grid to be visible.
    explicit ProgramWindows(const TempDataDirectory& data, const QByteArray& settings = {})
    {
        // A desktop screen: the offscreen platform's 800 × 600 would hold
        // the window at that size.
        TMainform::SetScreenAreas({ QRect(0, 0, 1920, 1080) });
        if (!QFile::exists(data.File(QStringLiteral("orbelund.ini"))))
            data.Write(QStringLiteral("orbelund.ini"),
                "[Size]\r\nWidth=1000\r\nHeighth=700\r\n[Holiday]\r\n0=1\r\n6=1\r\n" + settings);
        Start();
    }
    ~ProgramWindows()
    {
        Stop();
        TMainform::SetScreenAreas({});
    }

    void Start()
    {
        main_.reset(CreateProgramWindows());
        main_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
    }
    // The end of the program: the windows are destroyed.
    void Stop()
    {
        if (main_)
            main_->close();
        main_.reset();
    }
    void Restart()
    {
        Stop();
        Start();
    }

    TMainform& Main() const { return *main_; }

private:
    std::unique_ptr<TMainform> main_;
};

// Waits until `window` is the window the keys go to. Qt counts a tool window
// active while its parent is, so qWaitForWindowActive would not wait.
// The bytes of a data file that holds these records, in this order.
inline QByteArray Records(std::initializer_list<LeaveRecord> records)
{
    QByteArray bytes;
    for (const LeaveRecord& r : records)
        bytes.append(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size);
    return bytes;
}

inline bool BecomesActive(const QWidget* window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

inline QPoint CellCentre(const TStrColGrid& grid, int col, int row)
{
    const TRect r = grid.CellRect(col, row);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

inline void DoubleClickCell(TStrColGrid& grid, int col, int row)
{
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(grid, col, row));
}

inline void ClickCell(TStrColGrid& grid, int col, int row)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(grid, col, row));
}

// The text colour a cell is drawn in: its own item's, or black.
inline TColor CellColour(TStrColGrid& grid, int col, int row)
{
    const TSCGCellParam* param = grid.FindCellParam(col, row, false);
    return param && param->FontColorEnabled() ? param->FontColor() : clBlack;
}
