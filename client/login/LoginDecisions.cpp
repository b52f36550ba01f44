#include "LoginDecisions.h"

#include "Unit_func.h"

#include <QUrl>

namespace {

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

QString TrimLoginText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString LoginAddress(const LoginRequest &request)
{
    return request.webRoot + QStringLiteral("/clilogin/clilogin.jsp?mac=") + encoded(request.machineId) +
           QStringLiteral("&ver=") + encoded(request.clientVersion) + QStringLiteral("&userid=") +
           encoded(request.userId) + QStringLiteral("&userpass=") + encoded(request.userPass) +
           QStringLiteral("&userrole=") + encoded(request.userRole);
}

LoginAnswer InterpretLoginAnswer(const QString &bodyText)
{
    LoginAnswer answer;
    const QStringList fields = SplitFields(bodyText, QLatin1Char('|'));
    QString status;
    if (fields.size() >= 5) {
        answer.hasFields = true;
        status = fields.at(1);
        answer.message = fields.at(2);
        answer.title = fields.at(3);
        answer.userInfo = fields.at(4);
    }
    if (status == QLatin1String("loginok")) {
        answer.status = LoginStatus::Ok;
        answer.message.clear();
    } else if (status == QLatin1String("loginerr")) {
        answer.status = LoginStatus::Error;
    } else {
        answer.status = LoginStatus::Failed;
        answer.message = LoginFailedMessage();
    }
    return answer;
}

QString LoginFailedMessage()
{
    return QStringLiteral("登陆失败，请核对用户名和密码或者上网是否正常");
}

QString LoginFailedCaption()
{
    return QStringLiteral("登录失败1");
}
