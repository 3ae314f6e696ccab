#include "FaultPlan.h"

#include "common/Errors.h"
#include "terminal/Command.h"

#include <QJsonArray>

namespace selvenor::sim {

namespace {

const char* kindName(FaultPlan::CorruptKind kind) {
    switch (kind) {
    case FaultPlan::CorruptKind::Truncate:
        return "truncate";
    case FaultPlan::CorruptKind::Oversize:
        return "oversize";
    case FaultPlan::CorruptKind::Crc:
        break;
    }
    return "crc";
}

FaultPlan::CorruptKind parseKind(const QString& text) {
    if (text == QLatin1String("crc"))
        return FaultPlan::CorruptKind::Crc;
    if (text == QLatin1String("truncate"))
        return FaultPlan::CorruptKind::Truncate;
    if (text == QLatin1String("oversize"))
        return FaultPlan::CorruptKind::Oversize;
    throw Error(QStringLiteral("unknown corruption '%1' (crc, truncate or oversize)").arg(text));
}

FaultPlan::When parseWhen(const QString& text) {
    FaultPlan::When when;
    if (text.isEmpty() || text == QLatin1String("once"))
        return when;
    if (text == QLatin1String("always")) {
        when.kind = FaultPlan::When::Kind::Always;
        return when;
    }
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1)
        throw Error(QStringLiteral("'%1' is not once, always or a call number").arg(text));
    when.kind = FaultPlan::When::Kind::Nth;
    when.n = n;
    return when;
}

FaultPlan::When whenFromJson(const QJsonValue& v) {
    if (v.isUndefined())
        return {};
    if (v.isDouble())
        return parseWhen(QString::number(v.toDouble()));
    if (v.isString())
        return parseWhen(v.toString());
    throw Error(QStringLiteral("\"when\" must be \"once\", \"always\" or a call number"));
}

QJsonValue whenToJson(const FaultPlan::When& w) {
    switch (w.kind) {
    case FaultPlan::When::Kind::Always:
        return QStringLiteral("always");
    case FaultPlan::When::Kind::Nth:
        return w.n;
    case FaultPlan::When::Kind::Once:
        break;
    }
    return QStringLiteral("once");
}

QString checkedOp(const QString& op, bool anyAllowed) {
    if (anyAllowed && op == QLatin1String("any"))
        return op;
    if (protocol::commandFromName(op) == 0)
        throw Error(QStringLiteral("unknown operation '%1'").arg(op));
    return op;
}

int intOf(const QJsonObject& o, const char* key, int fallback) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return fallback;
    if (!v.isDouble() || v.toDouble() != double(v.toInt()))
        throw Error(QStringLiteral("\"%1\" must be an integer").arg(QLatin1String(key)));
    return v.toInt();
}

QJsonArray arrayOf(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isUndefined() && !v.isArray())
        throw Error(QStringLiteral("\"%1\" must be an array").arg(QLatin1String(key)));
    return v.toArray();
}

} // namespace

bool FaultPlan::When::hits(int call) const {
    switch (kind) {
    case Kind::Always:
        return true;
    case Kind::Nth:
        return call == n;
    case Kind::Once:
        break;
    }
    return call == 1;
}

FaultPlan FaultPlan::fromJson(const QJsonObject& o) {
    FaultPlan plan;
    const QJsonValue refuse = o.value(QLatin1String("refuseDisable"));
    if (!refuse.isUndefined() && !refuse.isBool())
        throw Error(QStringLiteral("\"refuseDisable\" must be true or false"));
    plan.refuseDisable = refuse.toBool();
    plan.dropAfterFrames = intOf(o, "dropAfterFrames", 0);
    plan.delayMs = intOf(o, "delayMs", 0);
    for (const QJsonValue& v : arrayOf(o, "fail")) {
        const QJsonObject r = v.toObject();
        FailRule rule;
        rule.op = checkedOp(r.value(QLatin1String("op")).toString(), false);
        rule.code = intOf(r, "code", 5);
        rule.when = whenFromJson(r.value(QLatin1String("when")));
        plan.failRules.append(rule);
    }
    for (const QJsonValue& v : arrayOf(o, "corrupt")) {
        const QJsonObject r = v.toObject();
        CorruptRule rule;
        rule.op = checkedOp(r.value(QLatin1String("op")).toString(QStringLiteral("any")), true);
        rule.when = whenFromJson(r.value(QLatin1String("when")));
        rule.kind = parseKind(r.value(QLatin1String("kind")).toString(QStringLiteral("crc")));
        plan.corruptRules.append(rule);
    }
    return plan;
}

QJsonObject FaultPlan::toJson() const {
    QJsonObject o;
    if (refuseDisable)
        o.insert(QStringLiteral("refuseDisable"), true);
    if (dropAfterFrames)
        o.insert(QStringLiteral("dropAfterFrames"), dropAfterFrames);
    if (delayMs)
        o.insert(QStringLiteral("delayMs"), delayMs);
    QJsonArray fails;
    for (const FailRule& r : failRules)
        fails.append(QJsonObject{{"op", r.op}, {"code", r.code}, {"when", whenToJson(r.when)}});
    if (!fails.isEmpty())
        o.insert(QStringLiteral("fail"), fails);
    QJsonArray corrupts;
    for (const CorruptRule& r : corruptRules)
        corrupts.append(QJsonObject{
            {"op", r.op}, {"when", whenToJson(r.when)}, {"kind", QLatin1String(kindName(r.kind))}});
    if (!corrupts.isEmpty())
        o.insert(QStringLiteral("corrupt"), corrupts);
    return o;
}

void FaultPlan::add(const FaultPlan& more) {
    refuseDisable = refuseDisable || more.refuseDisable;
    if (more.dropAfterFrames)
        dropAfterFrames = more.dropAfterFrames;
    if (more.delayMs)
        delayMs = more.delayMs;
    failRules += more.failRules;
    corruptRules += more.corruptRules;
}

void FaultPlan::addFailOption(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(':'));
    bool ok = false;
    const int code = parts.value(1).toInt(&ok);
    if (parts.size() < 2 || parts.size() > 3 || !ok)
        throw Error(QStringLiteral("--fail '%1': expected OP:CODE[:once|always|N]").arg(text));
    failRules.append(FailRule{checkedOp(parts[0], false), code, parseWhen(parts.value(2))});
}

void FaultPlan::addCorruptOption(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() > 3)
        throw Error(
            QStringLiteral("--corrupt '%1': expected OP[:once|always|N[:crc|truncate|oversize]]")
                .arg(text));
    corruptRules.append(CorruptRule{checkedOp(parts[0], true), parseWhen(parts.value(1)),
                                    parseKind(parts.value(2, QStringLiteral("crc")))});
}

int FaultPlan::failureFor(const QString& op) {
    const int call = ++m_calls[op];
    for (const FailRule& r : failRules)
        if (r.op == op && r.when.hits(call))
            return r.code;
    return 0;
}

bool FaultPlan::corruptionFor(const QString& op, CorruptKind& kind) {
    const int reply = ++m_replies[op];
    const int anyReply = ++m_replies[QStringLiteral("any")];
    for (const CorruptRule& r : corruptRules) {
        const bool any = r.op == QLatin1String("any");
        if ((any || r.op == op) && r.when.hits(any ? anyReply : reply)) {
            kind = r.kind;
            return true;
        }
    }
    return false;
}

} // namespace selvenor::sim
