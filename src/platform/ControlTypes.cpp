#include "platform/ControlTypes.h"

#include <array>

#include <QWidget>

namespace {

const std::array<QString, 3> AlignmentNames
    = { QStringLiteral("taLeftJustify"), QStringLiteral("taRightJustify"), QStringLiteral("taCenter") };

const std::array<QString, 3> LayoutNames
    = { QStringLiteral("tlTop"), QStringLiteral("tlCenter"), QStringLiteral("tlBottom") };

const std::array<QString, 12> ImeModeNames = { QStringLiteral("imDisable"), QStringLiteral("imClose"),
    QStringLiteral("imOpen"), QStringLiteral("imDontCare"), QStringLiteral("imSAlpha"), QStringLiteral("imAlpha"),
    QStringLiteral("imHira"), QStringLiteral("imSKata"), QStringLiteral("imKata"), QStringLiteral("imChinese"),
    QStringLiteral("imSHanguel"), QStringLiteral("imHanguel") };

// Qt knows only whether a window takes input-method input at all, and hints
// such as "Latin only" or "prefer Latin"; it cannot open the input method in
// a given kana or alphabet. So:
//   imDisable                  input method off
//   imClose                    on, starting in Latin input (ImhPreferLatin)
//   imOpen, imDontCare         on, no hints (the desktop's default)
//   imSAlpha                   on, Latin characters only (ImhLatinOnly)
//   imAlpha                    on, preferring Latin (full-width Latin is the input method's choice)
//   imHira, imSKata, imKata    on, no hints: Japanese input, kana chosen by the user
//   imChinese, imSHanguel, imHanguel  on, no hints
struct ImeBehaviour {
    bool enabled;
    Qt::InputMethodHints hints;
};

const std::array<ImeBehaviour, 12> ImeBehaviours = { {
    { false, Qt::ImhNone }, // imDisable
    { true, Qt::ImhPreferLatin }, // imClose
    { true, Qt::ImhNone }, // imOpen
    { true, Qt::ImhNone }, // imDontCare
    { true, Qt::ImhLatinOnly }, // imSAlpha
    { true, Qt::ImhPreferLatin }, // imAlpha
    { true, Qt::ImhNone }, // imHira
    { true, Qt::ImhNone }, // imSKata
    { true, Qt::ImhNone }, // imKata
    { true, Qt::ImhNone }, // imChinese
    { true, Qt::ImhNone }, // imSHanguel
    { true, Qt::ImhNone }, // imHanguel
} };

template <typename Enum, std::size_t N> QString NameOf(const std::array<QString, N>& names, Enum value)
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

void ApplyImeMode(QWidget& window, TImeMode mode)
{
    const ImeBehaviour& behaviour = ImeBehaviours.at(std::size_t(mode));
    window.setAttribute(Qt::WA_InputMethodEnabled, behaviour.enabled);
    window.setInputMethodHints(behaviour.hints);
}
