#pragma once

#include "terminal/TFP_CLOCK.h"

#include <QVector>
#include <QtGlobal>

namespace selvenor {

// The one enrolment item in transit between the terminal and the store: the template buffer
// (355 elements, a template in 0 to 353) and the password value (password or card number).
// Both keep their contents between commands: a command that sends data takes them as the last
// read or download left them.
struct EnrollItem {
    QVector<qint32> templateBuffer = QVector<qint32>(kEnrollDataSize, 0);
    qint32 password = 0;
};

} // namespace selvenor
