#pragma once

#include "data/DataFolder.h"

namespace selvenor {

class AttendanceView;

// The end of a full-log command with "2. veri dosyası kaydet" ticked: veri.txt is loaded into
// Memo1 and saved as veri2.txt, each line ended by CR LF, replacing veri2.txt whole. The new
// file takes the old one's place in one rename, so a crash leaves either the old or the new
// veri2.txt, never a part of it.
class SecondFileCopy {
public:
    SecondFileCopy(const DataFolder& folder, AttendanceView& view);
    // Throws FileError.
    void run();

private:
    DataFolder m_folder;
    AttendanceView& m_view;
};

} // namespace selvenor
