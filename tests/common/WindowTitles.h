#pragma once

#include <QString>

// Window titles as the X server shows them, as regular expressions for xwindows::waitFor().
namespace titles {

inline const QString kLogin = QStringLiteral("^Sorvane金融终端 用户登录$");
inline const QString kUpgradeQuestion = QStringLiteral("^Sorvane金融终端::升级提示$");
inline const QString kPrompt = QStringLiteral("^提示信息$");
inline const QString kLoginFailed = QStringLiteral("^登录失败1$");
inline const QString kUpgrader = QStringLiteral("^系统升级$");
// The main window takes its title from the portal's head page; the test portals name it so.
inline const QString kE2EMain = QStringLiteral("^E2E行情终端$");

} // namespace titles
