// Settings-file reading and writing on arbitrary bytes, invalid CP932 included.
#include "FuzzCheck.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

using namespace hibi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile ini(bytes);
    check(ini.toBytes() == bytes, "an untouched file keeps every byte");

    const StartupSettings read = ReadStartupSettings(ini);

    // Names read from garbage need not survive CP932 again: write known ones.
    Appearance a = read.appearance;
    a.YoubiFont.Name = QStringLiteral("Noto Sans CJK JP");
    a.DayFont.Name = QStringLiteral("ＭＳ Ｐゴシック");
    a.NenFont.Name = QStringLiteral("游ゴシック");
    a.NenFont.Color = 0x123456;
    WriteAppearanceSettings(ini, a);
    const QStringList order{QStringLiteral("カレンダー1"), QStringLiteral("仕事"), QString()};
    WriteCloseSettings(ini, {1, 2, 3, 4}, 16, order[1], order);

    const IniFile again(ini.toBytes());
    check(again.toBytes() == ini.toBytes(), "a written file parses back to itself");
    const StartupSettings s = ReadStartupSettings(again);
    check(s.appearance == a, "appearance read back");
    check(s.bounds == (WindowBounds{1, 2, 3, 4}) && s.nameHeight == 16, "bounds read back");
    check(s.lastCalendar == order[1], "selection read back");
    check(s.savedOrder.mid(0, 2) == order.mid(0, 2), "order read back");
    return 0;
}
