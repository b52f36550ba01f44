#include "VersionCheck.h"

#include "Unit_func.h"

VersionFields TakeVersionFields(const QString &pageText, const VersionFields &current)
{
    VersionFields fields = current;
    const QStringList parts = SplitFields(pageText, QLatin1Char(';'));
    if (parts.size() >= 2) {
        fields.latest = parts.at(0);
        fields.min = parts.at(1);
    }
    if (parts.size() >= 3)
        fields.max = parts.at(2);
    return fields;
}

bool OffersNewVersion(const VersionFields &fields, const QString &clientVersion)
{
    return !fields.latest.isEmpty() && fields.latest != clientVersion;
}

bool VersionExpired(const VersionFields &fields, const QString &clientVersion)
{
    return (!fields.min.isEmpty() && CompareVersionText(fields.min, clientVersion) > 0) ||
           (!fields.max.isEmpty() && CompareVersionText(fields.max, clientVersion) < 0);
}

VersionDecision DecideVersionCheck(const QString &pageText, const VersionFields &current,
                                   const QString &clientVersion, bool userAcceptsUpgrade)
{
    VersionDecision decision;
    decision.fields = TakeVersionFields(pageText, current);
    bool goOn = true;
    // Minimum and maximum only matter once a different version has been offered and refused.
    if (OffersNewVersion(decision.fields, clientVersion)) {
        decision.askUpgrade = true;
        if (userAcceptsUpgrade) {
            goOn = false;
            decision.startUpgrader = true;
        } else if (VersionExpired(decision.fields, clientVersion)) {
            goOn = false;
            decision.showExpiredNotice = true;
            decision.startUpgrader = true;
        }
    }
    decision.enterMainWindow = goOn;
    return decision;
}

QString UpgradeCaption()
{
    return QStringLiteral("Sorvane金融终端::升级提示");
}

QString UpgradeQuestion()
{
    return QStringLiteral("Sorvane金融终端已经有新的版本，是否立即更新到新版本");
}

QString VersionExpiredNotice()
{
    return QStringLiteral("您当前的版本已过期，请立刻升级");
}
