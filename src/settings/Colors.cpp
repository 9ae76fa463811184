#include "settings/Colors.h"

#include "settings/IniFile.h"

#include <limits>

namespace hibi {

namespace {

struct NamedColor
{
    const char *name;
    Color value;
};

constexpr Color sys(int index)
{
    return kSystemColorBase + Color(index);
}

// The twenty standard colours, then the system colours and the two special values.
constexpr NamedColor kColorNames[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen}, {"clSkyBlue", clSkyBlue}, {"clCream", clCream}, {"clMedGray", clMedGray},
    // System colours: 0x80000000 plus the system's colour index.
    {"clScrollBar", sys(0)}, {"clBackground", sys(1)}, {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)}, {"clMenu", sys(4)}, {"clWindow", sys(5)}, {"clWindowFrame", sys(6)},
    {"clMenuText", sys(7)}, {"clWindowText", sys(8)}, {"clCaptionText", sys(9)},
    {"clActiveBorder", sys(10)}, {"clInactiveBorder", sys(11)}, {"clAppWorkSpace", sys(12)},
    {"clHighlight", sys(13)}, {"clHighlightText", sys(14)}, {"clBtnFace", sys(15)},
    {"clBtnShadow", sys(16)}, {"clGrayText", sys(17)}, {"clBtnText", sys(18)},
    {"clInactiveCaptionText", sys(19)}, {"clBtnHighlight", sys(20)}, {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)}, {"clInfoText", sys(23)}, {"clInfoBk", sys(24)}, {"clHotLight", sys(26)},
    {"clGradientActiveCaption", sys(27)}, {"clGradientInactiveCaption", sys(28)},
    {"clMenuHighlight", sys(29)}, {"clMenuBar", sys(30)},
    {"clNone", clNone}, {"clDefault", clDefault},
};

} // namespace

QString ColorToString(Color color)
{
    for (const NamedColor &c : kColorNames)
        if (c.value == color)
            return QString::fromLatin1(c.name);
    return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<Color> StringToColor(const QString &text)
{
    for (const NamedColor &c : kColorNames)
        if (text.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.value;
    const auto number = ParseIniNumber(text);
    if (!number || *number < std::numeric_limits<qint32>::min() || *number > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return Color(*number);
}

} // namespace hibi
