#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace selvenor {

// A settings file in the INI format, kept line by line so that writing one key leaves every
// other section, key, comment and odd line as it was. Sections and keys are matched without
// regard to case; lines that are neither a section, a key=value pair nor a comment are kept
// but never read. Text is code page 1254 with CRLF line ends.
class IniFile {
public:
    // A missing file gives an empty settings file; one that exists but cannot be read throws
    // FileError.
    static IniFile load(const QString& path);
    static IniFile parse(const QByteArray& bytes);

    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = QString()) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray serialize() const;
    // Writes the whole file, atomically unless the folder refuses new files (the file is then
    // written in place); throws FileError when that fails.
    void save(const QString& path) const;

private:
    struct Line {
        QString text;
        QString section; // the section the line stands in (empty before the first header)
        enum Kind { Header, Pair, Other } kind = Other;
        QString key;
        QString value;
    };

    static Line parseLine(const QString& text, const QString& currentSection);
    int findPair(const QString& section, const QString& key) const;
    int findHeader(const QString& section) const;

    QVector<Line> m_lines;
};

} // namespace selvenor
