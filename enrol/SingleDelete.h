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

// "Parmakizi Sil": deletes the one item from the terminal. A field that is no integer throws
// ConversionError ("'x' is not a valid integer value") after the terminal is enabled again.
// Returns whether the terminal deleted the item.
bool deleteSingleItem(EnrolContext& ctx, const SingleItemFields& fields);

} // namespace selvenor
