#include "platform/ProgramModule.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include "platform/Errors.h"

void LoadProgramModule(const ProgramModule& module)
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QStringList places { folder + u'/' + module.fileName,
        QDir::cleanPath(folder + u'/' + QStringLiteral(VALDEMOR_MODULE_DIR) + u'/' + module.fileName) };
    const auto found
        = std::find_if(places.begin(), places.end(), [](const QString& path) { return QFileInfo(path).isFile(); });
    if (found == places.end())
        throw Exception(module.failure + module.kind + QStringLiteral("が見つかりません:\n") + places.join(u'\n'));
    QLibrary library(*found);
    // Every symbol now: a module of another build fails here with the name
    // of what it misses, not later in the middle of a call.
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!library.load())
        throw Exception(module.failure + QStringLiteral("%1 を読み込めません:\n%2").arg(*found, library.errorString()));
    // The library stays loaded even when it is not the module: whatever it
    // registered as it loaded (another module of the program's, copied under
    // this name) would otherwise point into code that is gone. QLibrary does
    // not unload it when it goes.
    if (!module.registered())
        throw Exception(module.failure + QStringLiteral("%1 は%2ではありません。").arg(*found, module.kind));
}
