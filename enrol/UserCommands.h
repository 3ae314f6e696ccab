#pragma once

#include "EnrollSender.h"

#include <QString>

namespace selvenor {

class EnrolContext;
class OperatorInterface;

// What a single-user command did.
struct UserCommandResult {
    bool started = false;     // the terminal was disabled
    SendResult send;          // the entries written (user upload, password change)
    int done = 0;             // entries enabled or disabled
    int failed = 0;           // entries the terminal refused
    bool notDisabled = false; // stopped with "No Device": the terminal could not be disabled
    int resultCode = 0;       // of that SetTerminalEnabled, or of the last entry refused
};

// "Seçili Kullanıcıyı Yükle": every stored entry of the user onto the terminal.
UserCommandResult uploadUser(EnrolContext& ctx, qint32 enrollNumber);

// "Seçili Kull/Admin Şifre Değiştir": the user's entries again, the password entry carrying the
// new password. An empty password shows "Şifre gir" and returns std::nullopt; a password with a
// character that is no digit throws ConversionError before the terminal is touched.
std::optional<UserCommandResult> changePassword(EnrolContext& ctx, qint32 enrollNumber,
                                                const QString& newPassword);
// The password change's checks of the new password, without a terminal: the packed value, or
// std::nullopt after "Şifre gir" for an empty one; a character that is no digit throws
// ConversionError.
std::optional<qint32> packedNewPassword(OperatorInterface& ui, const QString& newPassword);

// "Aktif Yap" (`enable`) and "Pasif Yap": SetUserEnabled for every stored entry of the user,
// the terminal disabled before each entry and enabled once at the end. A failed entry shows its
// result code and the pass goes on.
UserCommandResult setUserEnabled(EnrolContext& ctx, qint32 enrollNumber, bool enable);

} // namespace selvenor
