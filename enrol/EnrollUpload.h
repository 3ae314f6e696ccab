#pragma once

#include "EnrollSender.h"

namespace selvenor {

class EnrolContext;
class OperatorInterface;

// What a bulk upload did.
struct UploadResult {
    bool confirmed = false;       // the operator answered Yes to every question
    bool storeIncomplete = false; // the last download did not store the whole terminal
    int leftRemoved = 0;          // rows of people who left removed from the store
    bool started = false;         // the terminal was disabled
    bool cleared = false;         // ClearKeeperData succeeded
    SendResult send;
};

// "Terminale Parmakizi Datası Yükle": asks "UYARI", erases the terminal's enrolment data and
// writes every row of tblEnroll onto it. When the last download did not finish whole
// (EnrollStoreState) a second "UYARI" question says so and No ends the run untouched. With
// `withoutLeft` (the mysql button) the memo is cleared and the rows of the people whom `personel`
// marks "Pasif" are first removed from the store; a personnel database that cannot be read ends the
// run before anything is changed.
UploadResult uploadEnrollData(EnrolContext& ctx, bool withoutLeft);

// The first question of the upload: "UYARI" / "Seçili terminale parmakizi datası yüklensin
// mi...?"; true on Yes.
bool confirmEnrollUpload(OperatorInterface& ui);

} // namespace selvenor
