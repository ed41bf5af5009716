// The file dialogs open where the user last chose a file of the same kind.

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Dialogs.h"

TEST(FileDialogs, EachKindOpensInTheFolderLastUsedForIt)
{
    ScriptedDialogs dialogs;
    QTemporaryDir csv, pdf, import;
    const auto save = [&](const QString& kind, const QString& name, const std::optional<QString>& chosen) {
        dialogs.saveAnswers.push_back(chosen ? std::optional(SaveDialogAnswer { *chosen, 1 }) : std::nullopt);
        Dialogs::SaveDialog(nullptr, { QString(), 1, name, QString(), kind });
        return dialogs.saveRequests.back().fileName;
    };
    EXPECT_EQ(save(QStringLiteral(".csv"), QStringLiteral("a.csv"), csv.filePath(QStringLiteral("x.csv"))),
        QStringLiteral("a.csv"));
    // A cancelled dialog leaves the folder as it was; another kind has its own.
    EXPECT_EQ(
        save(QStringLiteral(".csv"), QStringLiteral("b.csv"), std::nullopt), csv.filePath(QStringLiteral("b.csv")));
    EXPECT_EQ(save(QStringLiteral(".pdf"), QStringLiteral("c.pdf"), pdf.filePath(QStringLiteral("c.pdf"))),
        QStringLiteral("c.pdf"));
    EXPECT_EQ(
        save(QStringLiteral(".csv"), QStringLiteral("d.csv"), std::nullopt), csv.filePath(QStringLiteral("d.csv")));
    // Without a kind nothing is remembered.
    EXPECT_EQ(save(QString(), QStringLiteral("e.csv"), std::nullopt), QStringLiteral("e.csv"));

    dialogs.openAnswers.push_back(import.filePath(QStringLiteral("in.csv")));
    Dialogs::OpenDialog(nullptr, { QString(), QString(), QStringLiteral("import") });
    EXPECT_EQ(dialogs.openRequests.back().folder, QString());
    Dialogs::OpenDialog(nullptr, { QString(), QString(), QStringLiteral("import") });
    EXPECT_EQ(QDir(dialogs.openRequests.back().folder), QDir(import.path()));

    // A folder that is gone since is not offered.
    import.remove();
    Dialogs::OpenDialog(nullptr, { QString(), QString(), QStringLiteral("import") });
    EXPECT_EQ(dialogs.openRequests.back().folder, QString());
}
