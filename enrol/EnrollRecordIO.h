#pragma once

#include <QtGlobal>

namespace selvenor {

class EnrolContext;
class EnrollStore;
struct EnrollRow;

// Backup numbers of the items that carry a password value instead of a template.
bool carriesPassword(qint32 fingerNumber);

// Stores the item in transit as a new row of the store: the password value for backup numbers
// 10, 11 and 15, the template text otherwise. A triple already stored is not stored again:
// "Double ID" in the status label. Otherwise the status label shows "00<machine>-00<enroll>-
// <finger>" and Label2 the enroll number in four places. Returns whether a row was stored.
bool SaveEnrollRecord(EnrolContext& ctx, EnrollStore& store, qint32 enrollNumber,
                      qint32 eMachineNumber, qint32 fingerNumber, qint32 privilege);

// Loads a row into the item in transit: its password value always, its template only for
// backup numbers below 10 (other rows leave the buffer as it is).
void ReadEnrollRecord(EnrolContext& ctx, const EnrollRow& row);

} // namespace selvenor
