#include "SecondFileCopy.h"

#include "AttendanceFile.h"
#include "AttendanceView.h"
#include "TextLines.h"

#include "common/Codepage1254.h"
#include "common/Errors.h"

#include <QFile>
#include <QSaveFile>

namespace selvenor {

SecondFileCopy::SecondFileCopy(const DataFolder& folder, AttendanceView& view)
    : m_folder(folder)
    , m_view(view) {}

void SecondFileCopy::run() {
    const QString source = m_folder.file(QStringLiteral("veri.txt"));
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1 okunamadı: %2").arg(source, in.errorString()));
    const QByteArray text = in.readAll();
    in.close();

    // The memo shows the copied lines; a view without memos gets none built.
    const bool fillMemo = m_view.showsLines();
    QByteArray memo;
    QByteArray copy;
    if (fillMemo)
        memo.reserve(text.size());
    copy.reserve(text.size() + 2);
    forEachLine(text, [&](QByteArrayView line) {
        if (fillMemo) {
            if (!copy.isEmpty())
                memo += '\n';
            memo += line;
        }
        copy += line;
        copy += "\r\n";
    });
    if (fillMemo)
        m_view.setWorkLines(fromCp1254(memo));

    const QString target = m_folder.file(QStringLiteral("veri2.txt"));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(copy) != copy.size() || !out.commit())
        throw FileError(QStringLiteral("%1 yazılamadı: %2").arg(target, out.errorString()));
    AttendanceFile::syncFolder(m_folder.path());
}

} // namespace selvenor
