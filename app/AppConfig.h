#pragma once

#include "IniFile.h"

#include <QString>

namespace Quellon {

// config.ini of the program: where it lives and the keys the program uses.
class AppConfig
{
public:
    // Sections and keys as older installations wrote them; they compare
    // without regard to letter case.
    static inline const QString ConfigSection = QStringLiteral("config");
    static inline const QString DatabaseFolderKey = QStringLiteral("ds");
    static inline const QString AutoBackupKey = QStringLiteral("ibak");
    static inline const QString OperatorSection = QStringLiteral("Config");
    static inline const QString OperatorNameKey = QStringLiteral("CurOperName");
    static inline const QString InputMethodKey = QStringLiteral("CurImeName");
    static inline const QString SettingsSection = QStringLiteral("set");
    static inline const QString RemindersAtStartKey = QStringLiteral("awokeflag");
    static inline const QString FileName = QStringLiteral("config.ini");

    // The config.ini beside the executable, or in the user's configuration
    // folder when the program's folder cannot be written.
    static QString defaultPath();
    static QString programFolder();

    explicit AppConfig(const QString &path = defaultPath());

    IniFile &ini() { return m_ini; }
    QString path() const { return m_ini.path(); }
    // Writes the file; a failure is reported once to the user as a warning.
    bool save();

    QString databaseFolderSetting() const { return m_ini.value(ConfigSection, DatabaseFolderKey); }
    void setDatabaseFolder(const QString &folder);
    int autoBackupChoice() const { return m_ini.intValue(ConfigSection, AutoBackupKey, 0); }
    void setAutoBackupChoice(int choice);
    QString lastOperatorName() const { return m_ini.value(OperatorSection, OperatorNameKey); }
    bool hasLastOperatorName() const { return m_ini.contains(OperatorSection, OperatorNameKey); }
    void setLastOperatorName(const QString &name);
    QString inputMethodName() const { return m_ini.value(OperatorSection, InputMethodKey); }
    void setInputMethodName(const QString &name);
    bool remindersAtStart() const { return m_ini.boolValue(SettingsSection, RemindersAtStartKey, false); }

    // The folder the database is looked for in: `ds` taken as a folder
    // whether or not it ends with a separator, or data/ beside the program.
    static QString databaseFolder(const QString &setting, const QString &programFolder);
    static bool isDefaultFolder(const QString &setting) { return setting.trimmed().isEmpty(); }

private:
    IniFile m_ini;
};

} // namespace Quellon
