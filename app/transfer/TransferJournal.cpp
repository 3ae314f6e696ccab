#include "TransferJournal.h"

#include "common/Errors.h"
#include "terminal/Crc32.h"

#include <QDataStream>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace selvenor {

namespace {

// An entry on disk: payload length (u32), payload, CRC-32 of the payload (u32), little endian.
constexpr int kEntryOverhead = 8;

enum EntryKind : quint8 { Begin = 1, Written = 2, Acknowledged = 3, Owed = 4 };

QByteArray entryBytes(const QByteArray& payload) {
    QByteArray entry;
    QDataStream out(&entry, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(payload.size());
    out.writeRawData(payload.constData(), int(payload.size()));
    out << protocol::crc32(payload);
    return entry;
}

QByteArray beginPayload(const JournalBatch& b) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << quint8(Begin) << b.machine << b.acknowledges << b.firstSequence << b.lastSequence
        << quint32(b.files.size());
    for (const JournalFile& f : b.files)
        out << f.name << f.lengthBefore << f.identity.device << f.identity.inode << f.tail;
    out << b.lines;
    return payload;
}

QByteArray sequencePayload(EntryKind kind, qint32 machine, quint32 sequence) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << quint8(kind) << machine << sequence;
    return payload;
}

JournalBatch readBatch(QDataStream& in) {
    JournalBatch b;
    quint32 count = 0;
    in >> b.machine >> b.acknowledges >> b.firstSequence >> b.lastSequence >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        JournalFile f;
        in >> f.name >> f.lengthBefore >> f.identity.device >> f.identity.inode >> f.tail;
        b.files.append(f);
    }
    in >> b.lines;
    return b;
}

} // namespace

TransferJournal::TransferJournal(const QString& path)
    : m_path(path)
    , m_file(path) {}

void TransferJournal::load() {
    m_pending.reset();
    m_owed.clear();
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1 okunamadı: %2").arg(m_path, file.errorString()));
    const QByteArray all = file.readAll();
    qsizetype at = 0;
    while (all.size() - at >= kEntryOverhead) {
        QDataStream head(all.mid(at, 4));
        head.setByteOrder(QDataStream::LittleEndian);
        quint32 length = 0;
        head >> length;
        if (qsizetype(length) > all.size() - at - kEntryOverhead)
            break;
        const QByteArrayView payload(all.constData() + at + 4, length);
        QDataStream tail(all.mid(at + 4 + length, 4));
        tail.setByteOrder(QDataStream::LittleEndian);
        quint32 crc = 0;
        tail >> crc;
        if (crc != protocol::crc32(payload))
            break;
        apply(payload);
        at += kEntryOverhead + length;
    }
}

void TransferJournal::apply(QByteArrayView payload) {
    const QByteArray bytes = payload.toByteArray();
    QDataStream in(bytes);
    quint8 kind = 0;
    in >> kind;
    if (kind == Begin) {
        m_pending = readBatch(in);
        return;
    }
    if (kind == Written) {
        if (m_pending && m_pending->acknowledges) {
            quint32& owed = m_owed[m_pending->machine];
            owed = qMax(owed, m_pending->lastSequence);
        }
        m_pending.reset();
        return;
    }
    qint32 machine = 0;
    quint32 sequence = 0;
    in >> machine >> sequence;
    if (kind == Acknowledged && m_owed.value(machine, 0) <= sequence)
        m_owed.remove(machine);
    else if (kind == Owed)
        m_owed[machine] = qMax(m_owed.value(machine, 0), sequence);
}

void TransferJournal::openForAppending() {
    if (m_file.isOpen())
        return;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, m_file.errorString()));
}

void TransferJournal::appendEntry(const QByteArray& payload) {
    openForAppending();
    const QByteArray entry = entryBytes(payload);
    if (m_file.write(entry) != entry.size())
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, m_file.errorString()));
    apply(payload);
}

void TransferJournal::begin(const JournalBatch& batch) {
    const bool created = !m_file.isOpen() && !QFileInfo::exists(m_path);
    appendEntry(beginPayload(batch));
    sync();
    if (created)
        AttendanceFile::syncFolder(QFileInfo(m_path).absolutePath());
}

void TransferJournal::written() {
    appendEntry(QByteArray(1, char(Written)));
}

void TransferJournal::acknowledged(int machine, quint32 sequence) {
    appendEntry(sequencePayload(Acknowledged, machine, sequence));
}

void TransferJournal::sync() {
    if (m_file.isOpen() && ::fsync(m_file.handle()) != 0)
        throw FileError(QStringLiteral("%1 diske yazılamadı").arg(m_path));
}

qint64 TransferJournal::size() const {
    return QFileInfo(m_path).size();
}

void TransferJournal::compact() {
    Q_ASSERT(!m_pending);
    m_file.close();
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, file.errorString()));
    for (auto it = m_owed.cbegin(); it != m_owed.cend(); ++it)
        file.write(entryBytes(sequencePayload(Owed, it.key(), it.value())));
    if (!file.commit())
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(m_path, file.errorString()));
    AttendanceFile::syncFolder(QFileInfo(m_path).absolutePath());
}

} // namespace selvenor
