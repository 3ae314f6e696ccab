#pragma once

#include <QString>

namespace selvenor {

class EnrolContext;

// The numbers typed on the sheet "tek data(parmak)".
struct SingleItemFields {
    QString enrollNumber;   // txtEnrollNumber
    QString eMachineNumber; // cmbEMachineNumber
    QString backupNumber;   // cmbBackupNumber
};

// How "Parmakizi Sil" ended.
struct SingleDeleteResult {
    bool started = false; // the terminal was disabled
    bool deleted = false;
    int resultCode = 0; // of the failed SetTerminalEnabled or DeleteEnrollData
};

// "Parmakizi Sil": deletes the one item from the terminal. A field that is no integer throws
// ConversionError ("'x' is not a valid integer value") after the terminal is enabled again.
SingleDeleteResult deleteSingleItem(EnrolContext& ctx, const SingleItemFields& fields);

} // namespace selvenor
