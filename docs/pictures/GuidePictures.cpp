// Takes the pictures of the user guide and the README from the program's own
// windows, drawn on the offscreen platform: the three calendars in the main
// window and each tab of 休暇のグラフ, over a year of sample leave. Run by
// scripts/make-guide-pictures, which names the folder to write them to.

#include <cstdio>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>

#include "app/MainForm.h"
#include "app/Program.h"
#include "core/DayCode.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"
#include "platform/Dates.h"
#include "platform/FixedDialog.h"
#include "reports/ChartWindow.h"

namespace {

struct Day {
    int year, month, day;
    DayCode code;
    const char16_t* memo;
};

// A year of leave as an office worker takes it, with notes in December.
const Day Leave[] = {
    { 2025, 1, 6, DayCode::FullDay, u"" },
    { 2025, 8, 13, DayCode::FullDay, u"" },
    { 2026, 5, 1, DayCode::GoldenWeek, u"" },
    { 2026, 5, 7, DayCode::GoldenWeek, u"" },
    { 2026, 6, 12, DayCode::Morning, u"通院" },
    { 2026, 7, 17, DayCode::Afternoon, u"" },
    { 2026, 8, 12, DayCode::SummerLeave, u"" },
    { 2026, 8, 13, DayCode::SummerLeave, u"" },
    { 2026, 8, 14, DayCode::SummerLeave, u"" },
    { 2026, 9, 24, DayCode::SpecialLeave, u"" },
    { 2026, 10, 10, DayCode::HolidayWork, u"" },
    { 2026, 10, 14, DayCode::CompensatoryDayOff, u"" },
    { 2026, 11, 20, DayCode::FullDay, u"" },
    { 2026, 12, 4, DayCode::Morning, u"役所手続き" },
    { 2026, 12, 18, DayCode::FullDay, u"家族旅行" },
    { 2026, 12, 28, DayCode::RegularDayOff, u"年末休業" },
    { 2026, 12, 29, DayCode::WinterLeave, u"年末年始休暇" },
    { 2026, 12, 30, DayCode::WinterLeave, u"年末年始休暇" },
    { 2026, 12, 31, DayCode::WinterLeave, u"年末年始休暇" },
};

bool Save(QWidget& widget, const QString& file)
{
    if (widget.grab().save(file, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir data;
    SetDataDirectory(data.path());
    Dates::SetToday(QDate(2026, 12, 15));
    // A desktop's screen, larger than the offscreen platform's.
    SetScreenAreas({ QRect(0, 0, 1920, 1200) });
    {
        QFile ini(data.filePath(QStringLiteral("orbelund.ini")));
        if (!ini.open(QIODevice::WriteOnly)
            || ini.write("[Holiday]\r\n0=1\r\n6=1\r\n7=1\r\n[Paid]\r\nHired=2024/04/01\r\n") < 0)
            return 1;
    }
    for (const Day& day : Leave)
        LeaveStore::SaveEntry(day.year, day.month, day.day, int(day.code), QString::fromUtf16(day.memo));

    std::unique_ptr<TMainform> main(CreateProgramWindows());
    bool saved = true;
    // Each calendar opens to fill the main window of the picture's size, and
    // closes the one before.
    const auto shoot = [&](void (TMainform::*open)(), QSize size, const char* name) {
        main->resize(size);
        QApplication::processEvents();
        (main.get()->*open)();
        QApplication::processEvents();
        saved = Save(*main, out.filePath(QString::fromLatin1(name))) && saved;
    };
    shoot(&TMainform::OpenMonthCalendar, QSize(560, 1000), "month-calendar.png");
    shoot(&TMainform::OpenHolidayCalendar, QSize(600, 740), "holiday-calendar.png");
    shoot(&TMainform::OpenYearCalendar, QSize(820, 540), "year-calendar.png");

    ShowChartWindow(main.get());
    ChartForm->resize(720, 480);
    const char* tabs[] = { "chart-years.png", "chart-months.png", "chart-paid-leave.png" };
    for (int tab = 0; tab < 3; ++tab) {
        ChartForm->PageControl1->setCurrentIndex(tab);
        QApplication::processEvents();
        saved = Save(*ChartForm, out.filePath(QString::fromLatin1(tabs[tab]))) && saved;
    }
    ChartForm->close();
    main->close();
    return saved ? 0 : 1;
}
