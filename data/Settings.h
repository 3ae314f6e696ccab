#pragma once

#include <QString>

namespace selvenor {

class DataFolder;

// The MySQL connection values of Settings.ini, as the texts the file holds.
struct MySqlSettings {
    QString server;
    QString database;
    QString user;
    QString password;
    QString port = QStringLiteral("3306");
};

// The keys of Settings.ini that the system reads and writes. Every read opens the file anew, so
// an edit takes effect at the next read; a missing file or key reads as its default.
class Settings {
public:
    explicit Settings(const DataFolder& folder);

    QString fileName() const { return m_file; }

    // [Options] veriDosya2: exactly "1" means the downloads also write veri2.txt.
    bool secondFileWanted() const;
    // Writes "1" or "0", keeping every other line of the file.
    void setSecondFileWanted(bool wanted) const;

    MySqlSettings mySql() const;
    QString programTipi() const;

private:
    QString m_file;
};

} // namespace selvenor
