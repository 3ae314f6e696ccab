#include "JournalCheck.h"

#include "AttendanceFile.h"
#include "AttendanceWriter.h"
#include "DataFolderLock.h"

#include <QDateTime>
#include <QFile>

namespace selvenor {

namespace {

QString formatName(const JournalContents& c) {
    switch (c.format) {
    case JournalContents::Format::Empty:
        return QStringLiteral("boş (henüz aktarım yok)");
    case JournalContents::Format::Current:
        return c.damage.isEmpty() ? QStringLiteral("sağlam") : QStringLiteral("bozuk");
    case JournalContents::Format::Unknown:
        break;
    }
    return QStringLiteral("tanınmıyor (bu programın yazdığı bir aktarım günlüğü değil)");
}

QString batchLine(const JournalBatch& b) {
    QStringList files;
    for (const JournalFile& f : b.files)
        files << f.name;
    const QString source =
        b.terminal.isEmpty() ? QStringLiteral("hafıza kartı dosyası") : b.terminal.text();
    QString records;
    if (!b.sequences.isEmpty())
        records = QStringLiteral(", kayıt %1-%2").arg(b.sequences.first()).arg(b.sequences.last());
    QString line = QStringLiteral("Yarım kalmış aktarım: %1, %2 satır%3; dosyalar: %4")
                       .arg(source)
                       .arg(qMax(b.sequences.size(), b.lines.count('\n')))
                       .arg(records, files.join(QStringLiteral(", ")));
    if (b.filesDone > 0)
        line += QStringLiteral("; tamamı yazılmış: %1")
                    .arg(files.mid(0, b.filesDone).join(QStringLiteral(", ")));
    return line;
}

QString terminalLine(const TerminalIdentity& terminal, const TerminalMemory& m) {
    QString line = QStringLiteral("Terminal %1: son yazılan kayıt %2, onaylanan %3")
                       .arg(terminal.text())
                       .arg(m.lastWritten)
                       .arg(m.acknowledged);
    if (m.owed())
        line += QStringLiteral(", onay borcu: %1 numaralı kayda kadar").arg(m.owed());
    if (m.reconcile)
        line += QStringLiteral(", sonraki aktarımı yedek dosyasıyla karşılaştırılacak");
    return line;
}

// What a readable journal holds, one line for each thing.
QStringList contentsLines(const JournalContents& c) {
    QStringList out;
    if (c.rebuilt)
        out << QStringLiteral("Bellek yeniden kuruldu: günlüğün tanımadığı bir terminalin ilk "
                              "aktarımında, ayın yedek dosyasının o makine numaralı son "
                              "satırlarıyla aynı sırada gelen kayıtlar yeniden yazılmadan "
                              "onaylanır.");
    for (auto it = c.terminals.cbegin(); it != c.terminals.cend(); ++it)
        out << terminalLine(it.key(), it.value());
    if (c.pending)
        out << batchLine(*c.pending) +
                   (c.pendingDamaged
                        ? QStringLiteral(" (kaydı hasarlı; satırları CRC ile sınanacak)")
                        : QString());
    for (const JournalDamage& d : c.damage)
        out << QStringLiteral("Okunamayan bölüm: %1. bayttan başlayan %2 bayt")
                   .arg(d.offset)
                   .arg(d.length);
    if (c.cutShort)
        out << QStringLiteral(
                   "Son %1 bayt yarım kalmış bir kayıt (zararsız: o aktarım başlamamıştı)")
                   .arg(c.cutShort);
    return out;
}

} // namespace

JournalCheck::JournalCheck(const DataFolder& folder)
    : m_folder(folder)
    , m_journal(folder.file(AttendanceWriter::journalName())) {}

QStringList JournalCheck::describe() {
    const JournalContents& c = m_journal.read();
    m_sound = c.sound();
    QStringList out{QStringLiteral("Aktarım günlüğü: %1").arg(m_journal.path()),
                    QStringLiteral("Durum: %1").arg(formatName(c))};
    if (c.format == JournalContents::Format::Unknown) {
        out << QStringLiteral("Başlığa bakılmadan okunabilenler:");
        out << contentsLines(m_journal.salvage());
    } else {
        out << contentsLines(c);
    }
    if (!m_sound)
        out << QStringLiteral("Onarmak için: selvenor-cli --data-dir '%1' journal-check --repair")
                   .arg(m_folder.path());
    return out;
}

QString JournalCheck::keepCopy() {
    const QString copy = m_journal.path() + QStringLiteral(".bozuk-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QFile::remove(copy);
    if (!QFile::copy(m_journal.path(), copy))
        throw FileError(QStringLiteral("%1 kopyalanamadı: %2").arg(m_journal.path(), copy));
    AttendanceFile::syncFolder(m_folder.path());
    return copy;
}

QStringList JournalCheck::endCutLines(const QDate& today) {
    // A batch whose entry did not read may have stopped in the middle of a line: the line is
    // ended, so the next download's first line is not glued to it.
    QStringList out;
    const QString month = today.toString(QStringLiteral("MMyyyy")) + QStringLiteral(".txt");
    for (const QString& name :
         {QStringLiteral("veri.txt"), QStringLiteral("veri2.txt"),
          QStringLiteral("yedek_Q720/") + month, QStringLiteral("yedek_V77/") + month}) {
        const QString path = m_folder.file(name);
        const qint64 size = AttendanceFile::sizeOf(path, nullptr);
        if (size <= 0 || AttendanceFile::readAt(path, size - 1, 1) == "\n")
            continue;
        AttendanceFile(path).append("\r\n");
        out << QStringLiteral("%1: yarım kalmış son satır sonlandırıldı").arg(name);
    }
    return out;
}

QStringList JournalCheck::repair(const QDate& today) {
    DataFolderLock lock(m_folder);
    const JournalContents found = m_journal.read();
    if (found.sound() && !found.pending)
        return {QStringLiteral("Günlük sağlam; onarılacak bir şey yok.")};
    QStringList out;
    bool lost = false;
    if (!found.sound()) {
        out << QStringLiteral("Günlüğün bulunduğu hali saklandı: %1").arg(keepCopy());
        // Every sound entry counts, wherever it stands and whatever the header says.
        const JournalContents& salvaged = m_journal.salvage();
        out << QStringLiteral("Günlükten okunabilen %1 kayıt alındı.").arg(salvaged.entries);
        lost = salvaged.lostSomething();
        if (lost)
            m_journal.markRebuilt();
    }
    if (m_journal.pending())
        out << completePending();
    else
        m_journal.compact();
    if (lost) {
        out << endCutLines(today);
        out << QStringLiteral(
            "Günlüğün bir bölümü okunamadı; orada bir terminalin onay borcu olabilir. Günlüğün "
            "tanımadığı her terminalin sonraki aktarımında, ayın yedek dosyasının o makine "
            "numaralı son satırlarıyla aynı sırada gelen kayıtlar yeniden yazılmadan "
            "onaylanacak; kayıp ya da çift yazım olmaz.");
    }
    out << QStringLiteral("Günlük yeniden yazıldı: %1 terminalin bilgisi korundu.")
               .arg(m_journal.contents().terminals.size());
    m_sound = true;
    return out;
}

QStringList JournalCheck::completePending() {
    const JournalBatch batch = *m_journal.pending();
    const qsizetype lines = AttendanceWriter::completePending(m_folder, m_journal);
    const TerminalMemory after = m_journal.memoryOf(batch.terminal);
    QStringList out{QStringLiteral("Yarım kalmış aktarımın %1 satırı her dosyada.").arg(lines)};
    if (batch.acknowledges && after.owed())
        out << QStringLiteral("Terminal %1 sonraki aktarımda %2. kayda kadar onaylanacak.")
                   .arg(batch.terminal.text())
                   .arg(after.owed());
    return out;
}

} // namespace selvenor
