#include "Settings.h"

#include "DataFolder.h"

#include "common/IniFile.h"

namespace selvenor {

Settings::Settings(const DataFolder& folder)
    : m_file(folder.file(QStringLiteral("Settings.ini"))) {}

bool Settings::secondFileWanted() const {
    return IniFile::load(m_file).value(QStringLiteral("Options"), QStringLiteral("veriDosya2")) ==
           QLatin1String("1");
}

void Settings::setSecondFileWanted(bool wanted) const {
    IniFile ini = IniFile::load(m_file);
    ini.setValue(QStringLiteral("Options"), QStringLiteral("veriDosya2"),
                 wanted ? QStringLiteral("1") : QStringLiteral("0"));
    ini.save(m_file);
}

MySqlSettings Settings::mySql() const {
    const IniFile ini = IniFile::load(m_file);
    MySqlSettings s;
    s.server = ini.value(QStringLiteral("Login"), QStringLiteral("Server"));
    s.database = ini.value(QStringLiteral("Login"), QStringLiteral("Database"));
    s.user = ini.value(QStringLiteral("MySql"), QStringLiteral("User"));
    s.password = ini.value(QStringLiteral("MySql"), QStringLiteral("Password"));
    s.port = ini.value(QStringLiteral("MySql"), QStringLiteral("Port"), QStringLiteral("3306"));
    return s;
}

QString Settings::programTipi() const {
    return IniFile::load(m_file).value(QStringLiteral("System"), QStringLiteral("ProgramTipi"));
}

} // namespace selvenor
