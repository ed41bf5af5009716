#include "reports/ChartWindowOpener.h"

#include "platform/ProgramModule.h"

namespace {

ChartWindowEntry Registered = nullptr;

} // namespace

void RegisterChartWindow(ChartWindowEntry show) { Registered = show; }

void OpenChartWindow(QWidget* owner)
{
    if (!Registered)
        LoadProgramModule(
            { QStringLiteral(VALDEMOR_CHART_MODULE_NAME), QStringLiteral("「休暇のグラフ」を開けません。"),
                QStringLiteral("グラフのモジュール"), [] { return Registered != nullptr; } });
    Registered(owner);
}
