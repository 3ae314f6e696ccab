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
    return QStringLiteral("Yarım kalmış aktarım: %1, %2 satır%3; dosyalar: %4")
        .arg(source)
        .arg(qMax(b.sequences.size(), b.lines.count('\n')))
        .arg(records, files.join(QStringLiteral(", ")));
}

} // namespace

JournalCheck::JournalCheck(const DataFolder& folder)
    : m_folder(folder)
    , m_journal(folder.file(AttendanceWriter::journalName())) {}

QStringList JournalCheck::describe() {
    const JournalContents& c = m_journal.read();
    QStringList out{QStringLiteral("Aktarım günlüğü: %1").arg(m_journal.path()),
                    QStringLiteral("Durum: %1").arg(formatName(c))};
    if (c.format == JournalContents::Format::Unknown)
        return out;
    for (auto it = c.terminals.cbegin(); it != c.terminals.cend(); ++it) {
        const TerminalMemory& m = it.value();
        QString line = QStringLiteral("Terminal %1: son yazılan kayıt %2, onaylanan %3")
                           .arg(it.key().text())
                           .arg(m.lastWritten)
                           .arg(m.acknowledged);
        if (m.owed())
            line += QStringLiteral(", onay borcu %1'e kadar").arg(m.owed());
        out << line;
    }
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
    if (!c.sound())
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
    if (!found.sound())
        out << QStringLiteral("Günlüğün bulunduğu hali saklandı: %1").arg(keepCopy());
    if (found.format == JournalContents::Format::Unknown) {
        QFile::remove(m_journal.path());
        m_journal.read();
        out << QStringLiteral("Tanınmayan günlük yerine yenisi başlatıldı. Bir aktarım yarıda "
                              "kaldıysa son satırları terminalden yeniden alınabilir.");
        out << endCutLines(today);
        return out;
    }
    if (found.pending) {
        const JournalBatch batch = *found.pending;
        const qsizetype lines = AttendanceWriter::completePending(m_folder, m_journal);
        const TerminalMemory after = m_journal.memoryOf(batch.terminal);
        out << QStringLiteral("Yarım kalmış aktarımın %1 satırı her dosyada.").arg(lines);
        if (batch.acknowledges && after.owed())
            out << QStringLiteral("Terminal %1 sonraki aktarımda %2. kayda kadar onaylanacak.")
                       .arg(batch.terminal.text())
                       .arg(after.owed());
    } else {
        m_journal.compact();
        out << endCutLines(today);
        out << QStringLiteral("Okunamayan bölümde bir aktarımın kaydı vardıysa, o aktarımın "
                              "satırları terminalden yeniden alınıp bir kez daha yazılabilir; "
                              "kayıp olmaz.");
    }
    out << QStringLiteral("Günlük yeniden yazıldı: %1 terminalin bilgisi korundu.")
               .arg(m_journal.contents().terminals.size());
    return out;
}

} // namespace selvenor
