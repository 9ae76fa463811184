#include "about/HelpBounds.h"

#include "settings/IniFile.h"

namespace hibi {

namespace {

const QString kSection = QStringLiteral("help");

} // namespace

WindowBounds ReadHelpBounds(const QString &iniPath)
{
    const IniFile ini = IniFile::load(iniPath);
    WindowBounds b = kHelpDefaultBounds;
    b.top = ini.readInteger(kSection, QStringLiteral("top"), b.top);
    b.left = ini.readInteger(kSection, QStringLiteral("left"), b.left);
    b.width = ini.readInteger(kSection, QStringLiteral("width"), b.width);
    b.height = ini.readInteger(kSection, QStringLiteral("height"), b.height);
    return b;
}

void WriteHelpBounds(const QString &iniPath, const WindowBounds &bounds)
{
    IniFile ini = IniFile::load(iniPath);
    ini.writeInteger(kSection, QStringLiteral("top"), bounds.top);
    ini.writeInteger(kSection, QStringLiteral("left"), bounds.left);
    ini.writeInteger(kSection, QStringLiteral("width"), bounds.width);
    ini.writeInteger(kSection, QStringLiteral("height"), bounds.height);
    ini.save(iniPath);
}

} // namespace hibi
