#pragma once

#include <QString>

namespace selvenor {

class EnrolContext;

// What a bulk download did, for the command line and the tests.
struct DownloadResult {
    bool started = false;      // the terminal was disabled and its user list loaded
    int entries = 0;           // entries handed out by the terminal
    int stored = 0;            // rows stored in tblEnroll
    int doubles = 0;           // entries already stored ("Double ID")
    int skipped = 0;           // entries whose read failed and was answered No
    bool cancelled = false;    // a failed read answered Cancel
    bool ok = false;           // the final status is "GetEnrollData OK"
    bool listBrokeOff = false; // the user list failed before its end ("GetNextUserID :<code>")
    int listResultCode = 0;    // the code it failed with
    bool complete = false;     // the store holds every entry of the terminal
};

// "Terminalden Parmakizi Datası Al": empties tblEnroll and temp, then copies every enrolment
// item of the terminal into tblEnroll and one name row per entry into temp. A failed read asks
// "GetEnrollData" (Yes again, No skip the entry, Cancel end). A user list that fails before
// its end ends the run with "GetNextUserID :" and the code's name. The store's writes are
// grouped in transactions. The store is marked incomplete (EnrollStoreState) when it is
// emptied and complete only when every entry of the whole list was stored.
DownloadResult downloadEnrollData(EnrolContext& ctx);

} // namespace selvenor
