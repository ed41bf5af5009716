#include "platform/ControlTypes.h"

#include <array>

namespace {

const std::array<QString, 3> AlignmentNames = {
    QStringLiteral("taLeftJustify"), QStringLiteral("taRightJustify"), QStringLiteral("taCenter")};

const std::array<QString, 3> LayoutNames = {
    QStringLiteral("tlTop"), QStringLiteral("tlCenter"), QStringLiteral("tlBottom")};

const std::array<QString, 12> ImeModeNames = {QStringLiteral("imDisable"), QStringLiteral("imClose"),
    QStringLiteral("imOpen"), QStringLiteral("imDontCare"), QStringLiteral("imSAlpha"),
    QStringLiteral("imAlpha"), QStringLiteral("imHira"), QStringLiteral("imSKata"), QStringLiteral("imKata"),
    QStringLiteral("imChinese"), QStringLiteral("imSHanguel"), QStringLiteral("imHanguel")};

template <typename Enum, std::size_t N>
QString NameOf(const std::array<QString, N>& names, Enum value)
{
    return std::size_t(value) < N ? names[std::size_t(value)] : QString::number(int(value));
}

template <typename Enum, std::size_t N>
bool ValueOf(const std::array<QString, N>& names, const QString& name, Enum& value)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == name) {
            value = Enum(i);
            return true;
        }
    }
    return false;
}

} // namespace

QString AlignmentName(TAlignment value) { return NameOf(AlignmentNames, value); }
bool AlignmentFromName(const QString& name, TAlignment& value) { return ValueOf(AlignmentNames, name, value); }
QString TextLayoutName(TTextLayout value) { return NameOf(LayoutNames, value); }
bool TextLayoutFromName(const QString& name, TTextLayout& value) { return ValueOf(LayoutNames, name, value); }
QString ImeModeName(TImeMode value) { return NameOf(ImeModeNames, value); }
bool ImeModeFromName(const QString& name, TImeMode& value) { return ValueOf(ImeModeNames, name, value); }
