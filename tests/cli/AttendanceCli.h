#pragma once

#include "CliRunner.h"
#include "app/transfer/AttendanceRig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// selvenor-cli's attendance commands run as the program against simulated terminals, and the
// attendance program beside it, which takes the lines out of veri.txt.
class AttendanceCli : public CliRunner {
protected:
    // A simulated terminal with `records` new records, registered under `name`.
    SimulatorFixture& terminal(const QString& name, int records, int machine = 1,
                               const QJsonObject& faults = {});
    QByteArray bytes(const QString& name) const;
    // The file's CR LF lines; a last line without its end counts too.
    QStringList lines(const QString& name) const;
    void overwrite(const QString& name, const QByteArray& content) const;
    static int readFlags(const SimulatorFixture& sim);
    // An empty data folder with new stores and no terminal.
    void freshDataFolder();
    // Runs `download` with the given names, killing itself at `point` (POINT:N); the run must
    // not report success.
    void downloadKilledAt(const QByteArray& point, const QStringList& names = {"Kapı"});
    // What the attendance program does: takes every complete line out of veri.txt, in place,
    // leaving a cut last line where it was. Returns the lines taken.
    QStringList importVeri();

    static QString backupName();
    // The lines of the terminal numbered `machine` (the 15th piece of the line), in order.
    static QStringList ofMachine(const QStringList& lines, int machine);
};
