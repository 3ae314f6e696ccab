#include "TerminalClock.h"

#include "BracketedExchange.h"

#include "common/OperatorInterface.h"
#include "common/TextFunctions.h"

namespace selvenor {

QString ClockDisplay(const ClockReading& clock, QChar lineBreak) {
    return QStringLiteral("Tarih = ") + ZeroPad(clock.day, 2) + u'/' + ZeroPad(clock.month, 2) +
           u'/' + QString::number(clock.year) + lineBreak + QStringLiteral("Saat = ") +
           ZeroPad(clock.hour, 2) + u':' + ZeroPad(clock.minute, 2);
}

CommandOutcome TerminalClock::set(TerminalSession& session, OperatorInterface& ui) {
    const CommandOutcome outcome = bracketedExchange(
        session, [](TFP_CLOCK& clock, int machine) { return clock.SyncTerminalTime(machine); });
    if (outcome.succeeded())
        ui.showMessage(QStringLiteral("cihaz tarih saati ayarlandı.."));
    else if (outcome.status == CommandOutcome::Failed)
        ui.showMessage(QStringLiteral("HATA...tarih saat ayarlanamadı.."));
    return outcome;
}

CommandOutcome TerminalClock::read(TerminalSession& session, ClockReading& r) {
    return bracketedExchange(session, [&r](TFP_CLOCK& clock, int machine) {
        return clock.GetTerminalTime(machine, r.year, r.month, r.day, r.hour, r.minute,
                                     r.dayOfWeek);
    });
}

CommandOutcome TerminalClock::show(TerminalSession& session, OperatorInterface& ui) {
    ClockReading reading;
    const CommandOutcome outcome = read(session, reading);
    if (outcome.succeeded())
        ui.showMessage(ClockDisplay(reading));
    return outcome;
}

} // namespace selvenor
