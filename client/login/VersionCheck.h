#pragma once

#include "ReleaseVersion.h"

#include <QString>

// The version check after the first login of a run, as a plain decision.

struct VersionFields
{
    QString latest;
    QString min;
    QString max;
};

// Takes the fields of the version page ("newest;lowest;highest"); a field the page does not
// carry keeps its value.
VersionFields TakeVersionFields(const QString &pageText, const VersionFields &current);

// A newest version is announced that differs from ours (older or newer alike).
bool OffersNewVersion(const VersionFields &fields, const QString &clientVersion);
// Below the lowest or above the highest accepted version.
bool VersionExpired(const VersionFields &fields, const QString &clientVersion);

struct VersionDecision
{
    VersionFields fields;
    bool askUpgrade = false;        // the newer-version question is put to the user
    bool showExpiredNotice = false; // after Cancel, when the version is no longer accepted
    bool startUpgrader = false;
    bool enterMainWindow = false;
};

// `userAcceptsUpgrade` is the answer to the question; it only counts when the question is asked.
VersionDecision DecideVersionCheck(const QString &pageText, const VersionFields &current,
                                   const QString &clientVersion, bool userAcceptsUpgrade);

QString UpgradeCaption();
QString UpgradeQuestion();
QString VersionExpiredNotice();
