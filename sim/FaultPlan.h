#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace selvenor::sim {

// Faults a test injects into the simulator (docs/simulator.md, "Fault injection"), from the
// state file's "faults" object or from command-line options.
class FaultPlan {
public:
    // Which calls of an operation a rule hits: the first, every one, or only the Nth.
    struct When {
        enum class Kind { Once, Always, Nth } kind = Kind::Once;
        int n = 1;
        bool hits(int call) const;
    };
    enum class CorruptKind { Crc, Truncate, Oversize };
    struct FailRule {
        QString op;
        int code = 5;
        When when;
    };
    struct CorruptRule {
        QString op; // an operation name, or "any"
        When when;
        CorruptKind kind = CorruptKind::Crc;
    };

    bool refuseDisable = false;
    int dropAfterFrames = 0; // 0: never
    int delayMs = 0;
    QList<FailRule> failRules;
    QList<CorruptRule> corruptRules;

    // Throws selvenor::Error with a message naming the faulty key.
    static FaultPlan fromJson(const QJsonObject& faults);
    QJsonObject toJson() const;
    // Adds the rules of `more`; its numbers replace this plan's where they are set.
    void add(const FaultPlan& more);
    // "OP:CODE[:WHEN]" and "OP[:WHEN[:KIND]]"; throw selvenor::Error on a bad text.
    void addFailOption(const QString& text);
    void addCorruptOption(const QString& text);

    // Counts a call of `op` and returns the code it must fail with, or 0.
    int failureFor(const QString& op);
    // Counts a reply to `op` and says whether (and how) it goes out corrupt.
    bool corruptionFor(const QString& op, CorruptKind& kind);

private:
    QHash<QString, int> m_calls;
    QHash<QString, int> m_replies;
};

} // namespace selvenor::sim
