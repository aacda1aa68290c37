#include "IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace Quellon {

namespace {
bool isSectionHeader(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

bool isComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}
} // namespace

IniFile::IniFile(const QString &path) : m_path(path) {}

bool IniFile::load(QString *error)
{
    m_lines.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder gbk("GB18030");
        if (gbk.isValid())
            text = gbk.decode(bytes);
    }
    setText(text);
    return true;
}

void IniFile::setText(const QString &text)
{
    QString t = text;
    if (t.startsWith(QChar(0xFEFF)))
        t.remove(0, 1);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_lines = t.split(QLatin1Char('\n'));
    while (!m_lines.isEmpty() && m_lines.constLast().trimmed().isEmpty())
        m_lines.removeLast();
}

QString IniFile::text() const
{
    return m_lines.isEmpty() ? QString() : m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool IniFile::save(QString *error) const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(text().toUtf8());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

int IniFile::findKey(const QString &section, const QString &key, int *sectionEnd) const
{
    bool inSection = false;
    if (sectionEnd)
        *sectionEnd = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines.at(i);
        QString name;
        if (isSectionHeader(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection && sectionEnd)
                *sectionEnd = i + 1;
            continue;
        }
        if (!inSection || isComment(line))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) // a stray line inside a section is left alone
            continue;
        if (sectionEnd && !line.trimmed().isEmpty())
            *sectionEnd = i + 1;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    return findKey(section, key, nullptr) >= 0;
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const
{
    const int i = findKey(section, key, nullptr);
    if (i < 0)
        return fallback;
    const QString &line = m_lines.at(i);
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int IniFile::intValue(const QString &section, const QString &key, int fallback) const
{
    bool ok = false;
    const int v = value(section, key).toInt(&ok);
    return ok ? v : fallback;
}

bool IniFile::boolValue(const QString &section, const QString &key, bool fallback) const
{
    const QString v = value(section, key).toLower();
    if (v == QLatin1String("1") || v == QLatin1String("true") || v == QLatin1String("yes"))
        return true;
    if (v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("no"))
        return false;
    return fallback;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    // Line breaks would split the entry into garbage on the next read.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString line = key + QLatin1Char('=') + clean;
    int sectionEnd = -1;
    const int i = findKey(section, key, &sectionEnd);
    if (i >= 0) {
        m_lines[i] = line;
    } else if (sectionEnd >= 0) {
        m_lines.insert(sectionEnd, line);
    } else {
        if (!m_lines.isEmpty() && !m_lines.constLast().trimmed().isEmpty())
            m_lines << QString();
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
    }
}

} // namespace Quellon
