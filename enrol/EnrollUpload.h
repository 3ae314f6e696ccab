#pragma once

#include "EnrollSender.h"

namespace selvenor {

class EnrolContext;

// What a bulk upload did.
struct UploadResult {
    bool confirmed = false; // the operator answered Yes to the first question
    int leftRemoved = 0;    // rows of people who left removed from the store
    bool started = false;   // the terminal was disabled
    bool cleared = false;   // ClearKeeperData succeeded
    SendResult send;
};

// "Terminale Parmakizi Datası Yükle": asks "UYARI", erases the terminal's enrolment data and
// writes every row of tblEnroll onto it. With `withoutLeft` (the mysql button) the memo is
// cleared and the rows of the people whom `personel` marks "Pasif" are first removed from the
// store; a personnel database that cannot be read ends the run before anything is changed.
UploadResult uploadEnrollData(EnrolContext& ctx, bool withoutLeft);

} // namespace selvenor
