// The downloads' journal as it may be found on disk: whatever another program, a full disk or a
// killed run left in aktarim.journal. Both readers must take any bytes without a fault, and what
// they remember must survive the compaction that rewrites the file.
#include "app/transfer/JournalContents.h"
#include "app/transfer/JournalFormat.h"

#include <cstddef>
#include <cstdint>

using namespace selvenor;

namespace {

void require(bool condition) {
    if (!condition)
        __builtin_trap();
}

// Compaction keeps every terminal's memory and the note that the memory was rebuilt.
void checkCompactionKeepsTheMemory(const JournalContents& contents) {
    const JournalContents again = JournalContents::parse(journal::compacted(contents));
    require(again.sound());
    require(!again.pending);
    require(again.rebuilt == contents.rebuilt);
    require(again.terminals == contents.terminals);
}

// A batch read from a sound entry is written back as the same entry.
void checkPendingBatchReadsBack(const JournalContents& contents) {
    if (!contents.pending || contents.pendingDamaged)
        return;
    JournalBatch expected = *contents.pending;
    expected.filesDone = 0; // told by FilesDone entries, not by the batch's own
    JournalBatch read;
    require(journal::readBegin(journal::beginPayload(expected), read));
    require(read == expected);
}

void checkDamageLiesInTheFile(const JournalContents& contents, qsizetype size) {
    for (const JournalDamage& d : contents.damage)
        require(d.offset >= 0 && d.length > 0 && d.offset + d.length <= size);
    require(contents.cutShort >= 0 && contents.cutShort <= size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const JournalContents& contents :
         {JournalContents::parse(bytes), JournalContents::salvage(bytes)}) {
        checkDamageLiesInTheFile(contents, bytes.size());
        if (contents.format != JournalContents::Format::Current)
            continue;
        checkCompactionKeepsTheMemory(contents);
        checkPendingBatchReadsBack(contents);
    }
    return 0;
}
