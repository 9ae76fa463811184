#pragma once

#include <QString>

#include <optional>

namespace hibi {

// Colours as the settings file knows them: 0x00BBGGRR (red in the lowest byte),
// or a system colour 0x80000000 + index, or one of the two special values.
using Color = quint32;

constexpr Color clBlack = 0x000000;
constexpr Color clMaroon = 0x000080;
constexpr Color clGreen = 0x008000;
constexpr Color clOlive = 0x008080;
constexpr Color clNavy = 0x800000;
constexpr Color clPurple = 0x800080;
constexpr Color clTeal = 0x808000;
constexpr Color clGray = 0x808080;
constexpr Color clSilver = 0xC0C0C0;
constexpr Color clRed = 0x0000FF;
constexpr Color clLime = 0x00FF00;
constexpr Color clYellow = 0x00FFFF;
constexpr Color clBlue = 0xFF0000;
constexpr Color clFuchsia = 0xFF00FF;
constexpr Color clAqua = 0xFFFF00;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clMoneyGreen = 0xC0DCC0;
constexpr Color clSkyBlue = 0xF0CAA6;
constexpr Color clCream = 0xF0FBFF;
constexpr Color clMedGray = 0xA4A0A0;
constexpr Color clNone = 0x1FFFFFFF;
constexpr Color clDefault = 0x20000000;
constexpr Color kSystemColorBase = 0x80000000;
// The system colours: 0x80000000 plus the system's colour index.
constexpr Color clScrollBar = kSystemColorBase + 0;
constexpr Color clBackground = kSystemColorBase + 1;
constexpr Color clActiveCaption = kSystemColorBase + 2;
constexpr Color clInactiveCaption = kSystemColorBase + 3;
constexpr Color clMenu = kSystemColorBase + 4;
constexpr Color clWindow = kSystemColorBase + 5;
constexpr Color clWindowFrame = kSystemColorBase + 6;
constexpr Color clMenuText = kSystemColorBase + 7;
constexpr Color clWindowText = kSystemColorBase + 8;
constexpr Color clCaptionText = kSystemColorBase + 9;
constexpr Color clActiveBorder = kSystemColorBase + 10;
constexpr Color clInactiveBorder = kSystemColorBase + 11;
constexpr Color clAppWorkSpace = kSystemColorBase + 12;
constexpr Color clHighlight = kSystemColorBase + 13;
constexpr Color clHighlightText = kSystemColorBase + 14;
constexpr Color clBtnFace = kSystemColorBase + 15;
constexpr Color clBtnShadow = kSystemColorBase + 16;
constexpr Color clGrayText = kSystemColorBase + 17;
constexpr Color clBtnText = kSystemColorBase + 18;
constexpr Color clInactiveCaptionText = kSystemColorBase + 19;
constexpr Color clBtnHighlight = kSystemColorBase + 20;
constexpr Color cl3DDkShadow = kSystemColorBase + 21;
constexpr Color cl3DLight = kSystemColorBase + 22;
constexpr Color clInfoText = kSystemColorBase + 23;
constexpr Color clInfoBk = kSystemColorBase + 24;
constexpr Color clHotLight = kSystemColorBase + 26;
constexpr Color clGradientActiveCaption = kSystemColorBase + 27;
constexpr Color clGradientInactiveCaption = kSystemColorBase + 28;
constexpr Color clMenuHighlight = kSystemColorBase + 29;
constexpr Color clMenuBar = kSystemColorBase + 30;

// The name when the colour has one, else "$" and eight upper-case hex digits.
QString ColorToString(Color color);
// A name (case does not matter), a decimal number or "$" and hex digits.
std::optional<Color> StringToColor(const QString &text);

constexpr bool IsSystemColor(Color c) { return (c & 0xFF000000u) == kSystemColorBase; }
constexpr int RedOf(Color c) { return int(c & 0xFF); }
constexpr int GreenOf(Color c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return int((c >> 16) & 0xFF); }
constexpr Color RgbColor(int r, int g, int b) { return Color(r) | (Color(g) << 8) | (Color(b) << 16); }

} // namespace hibi
