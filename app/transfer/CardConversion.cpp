#include "CardConversion.h"

#include "AttendanceView.h"
#include "AttendanceWriter.h"
#include "DataFolderLock.h"
#include "TextLines.h"

#include "common/Codepage1254.h"
#include "common/Errors.h"
#include "common/OperatorInterface.h"

#include <QFile>
#include <QTemporaryFile>

#include <array>

namespace selvenor {

namespace {

constexpr int kFieldWidth = 5;
constexpr qint64 kReadPiece = 1024 * 1024;
constexpr qsizetype kWritePiece = 1024 * 1024;

// Code page 1254 byte by byte, for the memos. The few bytes the code page leaves undefined map
// to the character of the same number.
class Cp1254Table {
public:
    static const Cp1254Table& instance() {
        static const Cp1254Table table;
        return table;
    }
    void decodeInto(QString& out, QByteArrayView bytes) const {
        const qsizetype at = out.size();
        out.resize(at + bytes.size());
        QChar* p = out.data() + at;
        for (char b : bytes)
            *p++ = m_chars[quint8(b)];
    }

private:
    Cp1254Table() {
        for (int b = 0; b < 256; ++b) {
            const QString s = b < 0x80 ? QString(QChar(b)) : fromCp1254(QByteArray(1, char(b)));
            m_chars[b] = s.size() == 1 && s[0] != QChar::ReplacementCharacter ? s[0] : QChar(b);
        }
    }
    std::array<QChar, 256> m_chars;
};

// Makes the field that starts at `from` in `out` its last five characters, "0" put in front up
// to five.
void normaliseField(QByteArray& out, qsizetype from) {
    const qsizetype length = out.size() - from;
    if (length > kFieldWidth)
        out.remove(from, length - kFieldWidth);
    else if (length < kFieldWidth)
        out.insert(from, kFieldWidth - length, '0');
}

// Characters `from` (1-based) to `from + length - 1` of `line`; the part beyond its end is empty.
QByteArrayView piece(QByteArrayView line, qsizetype from, qsizetype length) {
    const qsizetype start = from - 1;
    if (start >= line.size())
        return {};
    return line.sliced(start, qMin(length, line.size() - start));
}

// The result lines on their way to veri.txt: kept in a temporary file of the data folder until
// the whole memory-card file is read, so that a file that cannot be read to its end writes
// nothing, and the memory in use does not grow with the file.
class ResultSpool {
public:
    explicit ResultSpool(const DataFolder& folder)
        : m_file(folder.file(QStringLiteral("sdkart-XXXXXX.tmp"))) {
        if (!m_file.open())
            throw FileError(QStringLiteral("%1 oluşturulamadı: %2")
                                .arg(m_file.fileTemplate(), m_file.errorString()));
#ifdef Q_OS_UNIX
        // The open handle keeps it; a killed run leaves nothing behind.
        QFile::remove(m_file.fileName());
#endif
    }
    void appendLine(QByteArrayView line) {
        m_pending += line;
        m_pending += "\r\n";
        if (m_pending.size() >= kWritePiece)
            flush();
    }
    // Hands the spooled lines to `write` in pieces of whole lines.
    template <typename F> void replay(F&& write) {
        flush();
        if (!m_file.seek(0))
            throw spoolError();
        QByteArray piece;
        while (!m_file.atEnd()) {
            piece += m_file.read(kWritePiece);
            if (m_file.error() != QFileDevice::NoError)
                throw spoolError();
            const qsizetype cut = m_file.atEnd() ? piece.size() : piece.lastIndexOf('\n') + 1;
            if (cut > 0) {
                write(piece.first(cut));
                piece.remove(0, cut);
            }
        }
    }

private:
    void flush() {
        if (!m_pending.isEmpty() && m_file.write(m_pending) != m_pending.size())
            throw spoolError();
        m_pending.resize(0);
    }
    FileError spoolError() const {
        return FileError(QStringLiteral("Geçici dosya yazılamadı (%1): %2")
                             .arg(m_file.fileName(), m_file.errorString()));
    }

    QTemporaryFile m_file;
    QByteArray m_pending;
};

// Both stages line by line while the file is read. The result lines go to the spool; the memos'
// texts are collected only for a view that shows them.
class ConversionRun {
public:
    ConversionRun(ResultSpool& spool, bool fillMemos)
        : m_spool(spool)
        , m_fillMemos(fillMemos) {}

    void addLine(QByteArrayView line) {
        ++m_lines;
        if (m_lines == 1)
            return;               // the heading
        m_intermediate.resize(0); // keeps the buffers' room, unlike clear()
        m_result.resize(0);
        CardConversion::appendIntermediateLine(m_intermediate, line);
        CardConversion::appendResultLine(m_result, m_intermediate);
        m_spool.appendLine(m_result);
        if (m_fillMemos) {
            appendLine(m_memo2, m_intermediate);
            appendLine(m_memo1, m_result);
        }
        ++m_results;
    }
    // Room for the memos of a file of `bytes` bytes: the intermediate lines are about as long
    // as the record lines, the result lines about half as long. Capacity that stays unused is
    // never touched, so it costs no memory.
    void reserveFor(qint64 bytes) {
        if (!m_fillMemos)
            return;
        m_memo2.reserve(bytes + bytes / 4);
        m_memo1.reserve(bytes * 3 / 4);
    }
    qsizetype lines() const { return m_lines; }
    qsizetype results() const { return m_results; }
    QString& memo1() { return m_memo1; }
    QString& memo2() { return m_memo2; }

private:
    void appendLine(QString& memo, QByteArrayView line) {
        if (m_results > 0)
            memo += QLatin1Char('\n');
        Cp1254Table::instance().decodeInto(memo, line);
    }

    ResultSpool& m_spool;
    bool m_fillMemos;
    qsizetype m_lines = 0;
    qsizetype m_results = 0;
    QByteArray m_intermediate; // reused line by line
    QByteArray m_result;
    QString m_memo1;
    QString m_memo2;
};

// Reads the file piece by piece and hands every whole line to `run`.
void readLines(const QString& fileName, ConversionRun& run) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1 açılamadı: %2").arg(fileName, file.errorString()));
    run.reserveFor(file.size());
    QByteArray buffer;
    for (;;) {
        const QByteArray piece = file.read(kReadPiece);
        if (piece.isEmpty() && file.error() != QFileDevice::NoError)
            throw FileError(QStringLiteral("%1 okunamadı: %2").arg(fileName, file.errorString()));
        const bool atEnd = piece.isEmpty();
        buffer += piece;
        // Whole lines only: up to the last LF (a CR at the cut may be the first half of CR LF).
        const qsizetype cut = atEnd ? buffer.size() : buffer.lastIndexOf('\n') + 1;
        forEachLine(QByteArrayView(buffer).first(cut), [&](QByteArrayView l) { run.addLine(l); });
        buffer.remove(0, cut);
        if (atEnd)
            return;
    }
}

void appendToVeri(const DataFolder& folder, ResultSpool& spool) {
    DataFolderLock lock(folder);
    AttendanceWriter writer(folder);
    writer.open({QStringLiteral("veri.txt")});
    spool.replay([&](const QByteArray& lines) { writer.writeBatch(lines); });
    writer.close();
}

} // namespace

CardConversion::CardConversion(const DataFolder& folder, OperatorInterface& ui,
                               AttendanceView& view)
    : m_folder(folder)
    , m_ui(ui)
    , m_view(view) {}

bool CardConversion::run() {
    const QString fileName = m_ui.chooseFileToOpen(m_folder.path());
    if (fileName.isEmpty())
        return false;
    convert(fileName);
    return true;
}

qsizetype CardConversion::convert(const QString& fileName) {
    const bool fillMemos = m_view.showsLines();
    m_view.setFileName(fileName);
    m_view.setProgressRange(0, 0);
    m_view.setProgressPosition(0);
    m_view.setWorkLines(QString());
    m_view.setIntermediateLines(QString());

    ResultSpool spool(m_folder);
    ConversionRun run(spool, fillMemos);
    readLines(fileName, run);
    m_view.setProgressRange(0, int(run.lines()));
    m_view.setProgressPosition(int(run.results()));
    if (fillMemos) {
        m_view.setIntermediateLines(run.memo2());
        m_view.setWorkLines(run.memo1());
    }
    appendToVeri(m_folder, spool);

    m_ui.showMessage(QStringLiteral("Aktarım işlemi tamamlandı.."));
    m_view.setProgressRange(0, 0);
    m_view.setProgressPosition(0);
    return run.results();
}

QByteArray CardConversion::intermediateLine(QByteArrayView recordLine) {
    QByteArray out;
    appendIntermediateLine(out, recordLine);
    return out;
}

void CardConversion::appendIntermediateLine(QByteArray& out, QByteArrayView recordLine) {
    qsizetype fieldStart = out.size();
    for (char c : recordLine) {
        if (c == '\t') {
            normaliseField(out, fieldStart);
            out += ',';
            fieldStart = out.size();
        } else if (c != ' ') {
            out += c;
        }
    }
}

QByteArray CardConversion::resultLine(QByteArrayView intermediateLine) {
    QByteArray out;
    appendResultLine(out, intermediateLine);
    return out;
}

void CardConversion::appendResultLine(QByteArray& out, QByteArrayView l) {
    // The pieces of the attendance line: 1-based place and length in the intermediate line,
    // and the separator behind the piece.
    struct Piece {
        qsizetype from;
        qsizetype length;
        const char* separator;
    };
    static constexpr Piece kPieces[] = {
        {13, 5, " "}, // enroll number
        {45, 2, "/"}, // day
        {42, 2, "/"}, // month
        {37, 4, " "}, // year
        {47, 2, ":"}, // hour
        {50, 2, ":"}, // minute
        {53, 2, " "}, // second
        {10, 2, ""},  // machine number: the second field's last two characters
    };
    for (const Piece& p : kPieces) {
        out += piece(l, p.from, p.length);
        out += p.separator;
    }
}

} // namespace selvenor
