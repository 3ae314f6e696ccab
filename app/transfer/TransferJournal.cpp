#include "TransferJournal.h"

#include "AttendanceFile.h"
#include "JournalFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace selvenor {

TransferJournal::TransferJournal(const QString& path)
    : m_path(path)
    , m_file(path) {}

QByteArray TransferJournal::bytes() const {
    QFile file(m_path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1 okunamadı: %2").arg(m_path, file.errorString()));
    return file.readAll();
}

const JournalContents& TransferJournal::read() {
    m_contents = JournalContents::parse(bytes());
    return m_contents;
}

const JournalContents& TransferJournal::salvage() {
    m_contents = JournalContents::salvage(bytes());
    return m_contents;
}

void TransferJournal::load() {
    if (!read().sound())
        throw JournalError(unsoundText(m_path, m_contents));
}

QString TransferJournal::unsoundText(const QString& path, const JournalContents& contents) {
    QString what;
    if (contents.format == JournalContents::Format::Unknown) {
        what =
            contents.version
                ? QStringLiteral("bu programın tanımadığı bir sürümde (%1)").arg(contents.version)
                : QStringLiteral("bu programın yazdığı bir aktarım günlüğü değil");
    } else {
        const JournalDamage& first = contents.damage.first();
        what = QStringLiteral("bozuk: %1. bayttan başlayan %2 bayt okunamadı")
                   .arg(first.offset)
                   .arg(first.length);
    }
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    return QStringLiteral(
               "Aktarım günlüğü %1 %2. Aktarımlar durduruldu; hiçbir kayıt yazılmadı, "
               "terminallerdeki "
               "kayıtlar yerinde duruyor. Günlükte ne olduğunu görmek için: selvenor-cli "
               "--data-dir "
               "'%3' journal-check; onarmak için: selvenor-cli --data-dir '%3' journal-check "
               "--repair (bozuk günlüğün bir kopyası saklanır).")
        .arg(path, what, folder);
}

void TransferJournal::openForAppending() {
    if (m_file.isOpen())
        return;
    const bool created = !QFileInfo::exists(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, m_file.errorString()));
    if (m_file.size() == 0) {
        const QByteArray head = journal::header();
        if (m_file.write(head) != head.size())
            throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, m_file.errorString()));
    }
    if (created) {
        sync();
        AttendanceFile::syncFolder(QFileInfo(m_path).absolutePath());
    }
}

void TransferJournal::appendEntry(const QByteArray& payload) {
    openForAppending();
    const QByteArray entry = journal::entry(payload);
    if (m_file.write(entry) != entry.size())
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, m_file.errorString()));
}

void TransferJournal::begin(const JournalBatch& batch) {
    appendEntry(journal::beginPayload(batch));
    sync();
    m_contents.begin(batch);
}

void TransferJournal::written(const TerminalIdentity& terminal, bool acknowledges,
                              quint32 lastSequence) {
    appendEntry(journal::writtenPayload(terminal, acknowledges, lastSequence));
    m_contents.written(terminal, acknowledges, lastSequence);
}

void TransferJournal::filesDone(int files) {
    appendEntry(journal::filesDonePayload(files));
    sync();
    m_contents.filesDone(files);
}

void TransferJournal::acknowledged(const TerminalIdentity& terminal, quint32 sequence) {
    appendEntry(journal::acknowledgedPayload(terminal, sequence));
    m_contents.acknowledged(terminal, sequence);
}

void TransferJournal::reset(const TerminalIdentity& terminal) {
    appendEntry(journal::resetPayload(terminal));
    m_contents.reset(terminal);
}

void TransferJournal::sync() {
    if (m_file.isOpen() && ::fsync(m_file.handle()) != 0)
        throw FileError(QStringLiteral("%1 diske yazılamadı").arg(m_path));
}

qint64 TransferJournal::size() const {
    return QFileInfo(m_path).size();
}

void TransferJournal::compact() {
    Q_ASSERT(!m_contents.pending);
    m_file.close();
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, file.errorString()));
    const QByteArray bytes = journal::compacted(m_contents);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, file.errorString()));
    AttendanceFile::syncFolder(QFileInfo(m_path).absolutePath());
    m_contents.damage.clear();
    m_contents.cutShort = 0;
    m_contents.format = JournalContents::Format::Current;
    m_contents.version = journal::kVersion;
}

} // namespace selvenor
