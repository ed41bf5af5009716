#include "reports/ChartWindowOpener.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include "platform/Errors.h"

namespace {

ChartWindowEntry Registered = nullptr;

// Next to the program (the build folder), else where the installation puts
// it, found from the program's folder so that a moved installation works.
QStringList ModulePlaces()
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString name = QStringLiteral(VALDEMOR_CHART_MODULE_NAME);
    return { folder + u'/' + name,
        QDir::cleanPath(folder + u'/' + QStringLiteral(VALDEMOR_CHART_MODULE_DIR) + u'/' + name) };
}

void LoadModule()
{
    const QStringList places = ModulePlaces();
    const auto found
        = std::find_if(places.begin(), places.end(), [](const QString& path) { return QFileInfo(path).isFile(); });
    if (found == places.end())
        throw Exception(
            QStringLiteral("「休暇のグラフ」を開けません。グラフのモジュールが見つかりません:\n") + places.join(u'\n'));
    QLibrary module(*found);
    // Every symbol now: a module of another build fails here with the name
    // of what it misses, not later in the middle of a call.
    module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!module.load())
        throw Exception(
            QStringLiteral("「休暇のグラフ」を開けません。%1 を読み込めません:\n%2").arg(*found, module.errorString()));
    if (!Registered) {
        module.unload();
        throw Exception(
            QStringLiteral("「休暇のグラフ」を開けません。%1 はグラフのモジュールではありません。").arg(*found));
    }
    // The window's code stays for the rest of the run: QLibrary does not
    // unload it when it goes.
}

} // namespace

void RegisterChartWindow(ChartWindowEntry show) { Registered = show; }

void OpenChartWindow(QWidget* owner)
{
    if (!Registered)
        LoadModule();
    Registered(owner);
}
