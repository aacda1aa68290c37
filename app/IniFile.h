#pragma once

#include <QString>
#include <QStringList>

namespace Quellon {

// A plain INI file as agencies edit it by hand: sections and keys compare
// without regard to case, lines that are neither are kept but ignored, and
// writing replaces the file only once the new text is complete on disk.
class IniFile
{
public:
    explicit IniFile(const QString &path = {});

    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    // Reads the file; a missing file is an empty configuration, not an error.
    // UTF-8 is expected; a file that is not valid UTF-8 is read as GB18030,
    // the code page older installations wrote.
    bool load(QString *error = nullptr);
    bool save(QString *error = nullptr) const;

    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;
    int intValue(const QString &section, const QString &key, int fallback = 0) const;
    bool boolValue(const QString &section, const QString &key, bool fallback = false) const;
    // Changes the value in memory; save() writes it.
    void setValue(const QString &section, const QString &key, const QString &value);

    QString text() const;
    void setText(const QString &text);

private:
    int findKey(const QString &section, const QString &key, int *sectionEnd) const;

    QString m_path;
    QStringList m_lines;
};

} // namespace Quellon
