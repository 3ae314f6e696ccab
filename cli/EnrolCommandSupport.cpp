#include "EnrolCommandSupport.h"

#include "CommandArguments.h"

#include "common/Errors.h"
#include "data/Settings.h"
#include "data/TfrmDM.h"

namespace selvenor::cli {

EnrolQuestionAnswers::EnrolQuestionAnswers(OperatorInterface& console, Policy policy)
    : ConsentGiven(console)
    , m_policy(policy) {}

EnrolQuestionAnswers::Policy EnrolQuestionAnswers::policyFrom(const QString& command,
                                                              const QString& value) {
    if (value.isEmpty() || value == QLatin1String("stop"))
        return Policy::Stop;
    if (value == QLatin1String("retry"))
        return Policy::Retry;
    if (value == QLatin1String("skip"))
        return Policy::Skip;
    usageError(command,
               QStringLiteral("--on-error retry, skip ya da stop olmalı: '%1'").arg(value));
}

OperatorInterface::Button EnrolQuestionAnswers::messageBox(const QString& text,
                                                           const QString& caption, Icon icon,
                                                           Buttons buttons) {
    if (!has(buttons, Button::Yes) || !has(buttons, Button::Cancel))
        return ConsentGiven::messageBox(text, caption, icon, buttons);
    ++m_questions;
    Button answer = Button::Cancel;
    QString said = QStringLiteral("stop");
    if (m_policy == Policy::Skip) {
        answer = Button::No;
        said = QStringLiteral("skip");
    } else if (m_policy == Policy::Retry && m_retriesInARow < kMaxRetries) {
        ++m_retriesInARow;
        answer = Button::Yes;
        said = QStringLiteral("retry");
    } else if (m_policy == Policy::Retry) {
        m_gaveUp = true;
        said = QStringLiteral("stop (%1 deneme sonrası)").arg(kMaxRetries);
    }
    reportAnswer(caption, text, said);
    return answer;
}

OfflineEnrolContext::OfflineEnrolContext(CommandContext& context)
    : answers(context.ui, EnrolQuestionAnswers::Policy::Stop)
    , ctx(dm, clock, 0, item, answers, view, Settings(context.folder).mySql()) {}

void openLogStore(const DataFolder& folder, TfrmDM& dm) {
    const QString file = folder.file(QStringLiteral("Log.mdb"));
    if (!TfrmDM::openStore(dm.ADOConnection2(), file))
        throw FileError(
            QStringLiteral("Log dosyası bulunamadı: %1 (önce: selvenor-cli init)").arg(file));
}

int enrolSummary(CommandContext& context, const QString& command, bool ok, const QString& text) {
    context.out << command << QStringLiteral(": ") << text << '\n';
    context.out.flush();
    return ok ? 0 : 1;
}

} // namespace selvenor::cli
