#pragma once

#include "CliCommand.h"
#include "ConsentGiven.h"

#include "data/TfrmDM.h"
#include "enrol/EnrolContext.h"
#include "enrol/EnrolView.h"
#include "enrol/EnrollItem.h"
#include "terminal/TFP_CLOCK.h"

#include <QString>

namespace selvenor {

class TfrmDM;

namespace cli {

// How the enrolment commands answer the question the window asks when one item fails
// (Yes/No/Cancel): --on-error retry|skip|stop, stop by default. A retry is tried at most
// kMaxRetries times in a row for the same item; then the run stops.
class EnrolQuestionAnswers : public ConsentGiven {
public:
    enum class Policy { Retry, Skip, Stop };
    static constexpr int kMaxRetries = 3;

    EnrolQuestionAnswers(OperatorInterface& console, Policy policy);

    // --on-error of the arguments (after the command's own options are taken).
    static Policy policyFrom(const QString& command, const QString& value);

    // The item was done: the next failure starts a new count of retries.
    void itemDone() { m_retriesInARow = 0; }
    int questions() const { return m_questions; }
    bool gaveUp() const { return m_gaveUp; }

    // A Yes/No/Cancel question is answered by the policy and reported; the questions of an
    // upload ("UYARI", Yes/No) are answered Yes and reported: the command asked for consent
    // before it connected, or was given --yes.
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;

private:
    Policy m_policy;
    int m_questions = 0;
    int m_retriesInARow = 0;
    bool m_gaveUp = false;
};

// The window's outputs on the command line: the status label's last text is kept for the
// summary; nothing is printed per item.
class ConsoleEnrolView : public EnrolView {
public:
    explicit ConsoleEnrolView(EnrolQuestionAnswers& answers)
        : m_answers(answers) {}
    void setStatus(const QString& text) override { status = text; }
    void setLabel2(const QString&) override { m_answers.itemDone(); }
    void setUserName(const QString&) override {}
    void appendMemoLine(const QString&) override { ++memoLines; }
    void clearMemo() override {}
    void setButtonEnabled(bool) override {}
    void refreshLists() override {}

    QString status;
    int memoLines = 0;

private:
    EnrolQuestionAnswers& m_answers;
};

// The enrolment window's context for a command that talks to no terminal: the data module (no
// store opened), the MySQL settings of Settings.ini, the console's answers and view.
struct OfflineEnrolContext {
    explicit OfflineEnrolContext(CommandContext& context);
    TfrmDM dm;
    TFP_CLOCK clock; // never connected
    EnrolQuestionAnswers answers;
    ConsoleEnrolView view{answers};
    EnrollItem item;
    EnrolContext ctx;
};

// Opens Log.mdb of the data folder on the data module; throws FileError when it is missing.
void openLogStore(const DataFolder& folder, TfrmDM& dm);

// The one-line summary on standard output; returns the exit status (0 when `ok`).
int enrolSummary(CommandContext& context, const QString& command, bool ok, const QString& text);

} // namespace cli
} // namespace selvenor
