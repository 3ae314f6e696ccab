#pragma once

#include "EnrollItem.h"

#include "common/OperatorInterface.h"
#include "data/Settings.h"

#include <QSqlDatabase>

namespace selvenor {

class EnrolView;
class TFP_CLOCK;
class TfrmDM;

// What every enrolment command works with: the terminal control and its machine number, the
// item in transit, the operator, the window's outputs and the data module's connections.
class EnrolContext {
public:
    EnrolContext(TfrmDM& dm, TFP_CLOCK& clock, int machine, EnrollItem& item, OperatorInterface& ui,
                 EnrolView& view, MySqlSettings mySql = {});

    TfrmDM& dm;
    TFP_CLOCK& clock;
    int machine;
    EnrollItem& item;
    OperatorInterface& ui;
    EnrolView& view;
    MySqlSettings mySql;

    QSqlDatabase dataStore() const; // Data.mdb: tblEnroll
    QSqlDatabase logStore() const;  // Log.mdb: temp

    // The result code of the last failed terminal operation.
    int lastErrorCode() const;
    // The name of the result code of the last failed terminal operation, as every window shows
    // a code (ResultCodeText: the names of 0 to 9, this system's own codes by their symbol).
    QString lastErrorName() const;

    // The question asked when one item of a loop fails: "<name>: Continue ?" under `caption`,
    // Yes (repeat), No (go on) and Cancel (end).
    OperatorInterface::Button askContinue(const QString& caption, const QString& errorName) const;
};

} // namespace selvenor
