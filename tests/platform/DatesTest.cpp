#include "platform/Dates.h"

#include <gtest/gtest.h>

#include "platform/Errors.h"

TEST(Dates, RefusesDatesThatDoNotExist)
{
    EXPECT_EQ(Dates::EncodeDate(2024, 2, 29), QDate(2024, 2, 29));
    for (auto [y, m, d] : { std::tuple { 2023, 2, 29 }, { 1900, 2, 29 }, { 2024, 4, 31 }, { 2024, 13, 1 },
             { 2024, 0, 1 }, { 0, 1, 1 }, { 10000, 1, 1 }, { 2024, 1, 0 } }) {
        try {
            Dates::EncodeDate(y, m, d);
            ADD_FAILURE() << y << "-" << m << "-" << d;
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
        }
    }
}

TEST(Dates, CountsWeekdaysFromSundayAndNamesThemInJapanese)
{
    EXPECT_EQ(Dates::DayOfWeek(QDate(2024, 11, 3)), 1); // a Sunday
    EXPECT_EQ(Dates::DayOfWeek(QDate(2024, 11, 9)), 7);
    const QString names[] = { QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土") };
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(Dates::ShortDayName(day), names[day - 1]);
}

TEST(Dates, TodayFollowsTheTestClock)
{
    Dates::SetToday(QDate(2009, 3, 5));
    EXPECT_EQ(Dates::Today(), QDate(2009, 3, 5));
    Dates::SetToday(std::nullopt);
    EXPECT_EQ(Dates::Today(), QDate::currentDate());
}
