#include "platform/Application.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

TEST(ApplicationTest, TheTitleLeavesTheCaptionsOfOtherWindowsAsTheyAre)
{
    const QString displayName = QGuiApplication::applicationDisplayName();
    Application::SetTitle(QStringLiteral("Valdemor"));
    EXPECT_EQ(Application::Title(), QStringLiteral("Valdemor"));
    // The desktop appends the display name to every window's caption, which
    // would turn "入力画面" into "入力画面 — Valdemor".
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), displayName);
    Application::SetTitle(QString());
}
