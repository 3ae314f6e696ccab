#include "IniFile.h"

#include "Codepage1254.h"
#include "Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace selvenor {

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile IniFile::load(const QString& path) {
    if (!QFileInfo::exists(path))
        return IniFile();
    // A file that is there but cannot be read must never pass for an empty one: the next save
    // would replace it with the one key it sets.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1 okunamadı: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("%1 okunamadı: %2").arg(path, file.errorString()));
    return parse(bytes);
}

IniFile IniFile::parse(const QByteArray& bytes) {
    IniFile ini;
    const QString text = fromCp1254(bytes);
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the file ended with a line end
    QString section;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        Line parsed = parseLine(line, section);
        if (parsed.kind == Line::Header)
            section = parsed.section;
        ini.m_lines.append(parsed);
    }
    return ini;
}

IniFile::Line IniFile::parseLine(const QString& text, const QString& currentSection) {
    Line line;
    line.text = text;
    line.section = currentSection;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return line;
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = Line::Header;
            line.section = trimmed.mid(1, close - 1).trimmed();
        }
        return line;
    }
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals > 0 && !text.left(equals).trimmed().isEmpty()) {
        line.kind = Line::Pair;
        line.key = text.left(equals).trimmed();
        line.value = text.mid(equals + 1).trimmed();
    }
    return line;
}

int IniFile::findPair(const QString& section, const QString& key) const {
    for (int i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Line::Pair && sameName(line.section, section) && sameName(line.key, key))
            return i;
    }
    return -1;
}

int IniFile::findHeader(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Line::Header && sameName(m_lines[i].section, section))
            return i;
    }
    return -1;
}

QString IniFile::value(const QString& section, const QString& key,
                       const QString& defaultValue) const {
    const int index = findPair(section, key);
    return index < 0 ? defaultValue : m_lines[index].value;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const int existing = findPair(section, key);
    if (existing >= 0) {
        Line& line = m_lines[existing];
        line.value = value;
        line.text = line.key + QLatin1Char('=') + value;
        return;
    }
    int header = findHeader(section);
    if (header < 0) {
        m_lines.append(parseLine(QLatin1Char('[') + section + QLatin1Char(']'), QString()));
        header = m_lines.size() - 1;
    }
    const QString sectionName = m_lines[header].section;
    // Insert behind the last key of the section, so trailing blank lines and comments that
    // belong to the next section stay where they are.
    int insertAt = header + 1;
    for (int i = header + 1; i < m_lines.size() && m_lines[i].kind != Line::Header; ++i) {
        if (m_lines[i].kind == Line::Pair)
            insertAt = i + 1;
    }
    m_lines.insert(insertAt, parseLine(key + QLatin1Char('=') + value, sectionName));
}

QByteArray IniFile::serialize() const {
    QByteArray bytes;
    for (const Line& line : m_lines) {
        bytes += toCp1254(line.text);
        bytes += "\r\n";
    }
    return bytes;
}

void IniFile::save(const QString& path) const {
    QSaveFile file(path);
    // Replaced atomically where the folder allows it; a writable file in a folder that is not
    // writable is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(serialize()) < 0 || !file.commit())
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(path, file.errorString()));
}

} // namespace selvenor
