#pragma once

#include <QtGlobal>

#include <optional>

namespace selvenor {

class EnrolContext;
class EnrollStore;

// What a pass of SetEnrollData calls did.
struct SendResult {
    int rows = 0;           // rows of the store walked
    int sent = 0;           // rows the terminal took
    int failed = 0;         // rows whose failure was answered No
    bool cancelled = false; // a failure answered Cancel
    bool lastFailed = false;
    int lastErrorCode = 0; // of the last row the terminal refused
};

// Writes rows of the store onto the terminal one by one, as the uploads do: each row is read
// into the item in transit and sent with SetEnrollData. A failed row asks "SetEnrollData"
// (Yes send again, No go on, Cancel end). After every row: the progress text, Label2 and a memo
// line. When the last row sent failed the status label ends with "SetAllEnrollData Error : ".
class EnrollSender {
public:
    explicit EnrollSender(EnrolContext& ctx);

    // Password entries (backup number 15) carry `newPassword` instead of the stored one.
    void setPasswordOverride(std::optional<qint32> newPassword) { m_newPassword = newPassword; }

    SendResult sendAll(EnrollStore& store);
    SendResult sendUser(EnrollStore& store, qint32 enrollNumber);

private:
    template <typename Walk> SendResult send(Walk walk);

    EnrolContext& m_ctx;
    std::optional<qint32> m_newPassword;
};

} // namespace selvenor
