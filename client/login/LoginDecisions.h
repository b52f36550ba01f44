#pragma once

#include <QString>

// The login exchange as plain decisions: the address sent, and what an answer means.

// Leading and trailing blanks and control characters (codes 0 to 32) removed.
QString TrimLoginText(const QString &text);

struct LoginRequest
{
    QString webRoot;
    QString machineId;
    QString clientVersion;
    QString userId;
    QString userPass;
    QString userRole;
};

// The login address. Every value is percent-encoded as UTF-8, so "&", "#", "+", blanks and Chinese
// characters in a name or password reach the service whole.
QString LoginAddress(const LoginRequest &request);

enum class LoginStatus { Ok, Error, Failed };

struct LoginAnswer
{
    // At least five fields: title and user information are taken (and written to the main window,
    // whatever the status says).
    bool hasFields = false;
    QString title;
    QString userInfo;
    LoginStatus status = LoginStatus::Failed;
    // What the user is shown when the status is not Ok.
    QString message;
};

// The body text of the login page, fields separated by "|".
LoginAnswer InterpretLoginAnswer(const QString &bodyText);

// The fixed message for any failure without a message of the service, and the caption of both.
QString LoginFailedMessage();
QString LoginFailedCaption();
