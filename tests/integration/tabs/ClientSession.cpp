#include "ClientSession.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientStartup.h"
#include "CppWebBrowser.h"
#include "client/login/Flogin.h"
#include "client/mainwindow/Main.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

ClientSession::~ClientSession()
{
    SetMessageBoxHandler({});
    DestroyAppWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!m_previousFolder.isEmpty())
        QDir::setCurrent(m_previousFolder);
}

QString ClientSession::settingsPath() const
{
    return m_folder.filePath(QStringLiteral("mainkw.ini"));
}

bool ClientSession::start()
{
    if (!m_portal.start()) {
        m_error = QStringLiteral("portal: ") + m_portal.errorString();
        return false;
    }
    // The settings file of a user who logs in automatically.
    QFile ini(settingsPath());
    if (!ini.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write mainkw.ini");
        return false;
    }
    ini.write(
        QStringLiteral("[linkinfo]\nwebroot=%1\nsavepass=1\naotologin=1\nuserid=demo\nuserpass=demo123\n"
                       "userrole=\n")
            .arg(m_portal.baseUrl())
            .toUtf8());
    ini.close();
    m_previousFolder = QDir::currentPath();
    QDir::setCurrent(m_folder.path());

    SetMessageBoxHandler([this](const MessageBoxRequest &request) {
        m_boxes << request;
        return BoxAnswer::Cancel;
    });
    CreateClientWindows();
    frmLogin->show();
    if (!WaitUntil([] { return frmMain && frmMain->isVisible(); }, 30000)) {
        m_error = QStringLiteral("the main window did not open; boxes: %1").arg(m_boxes.size());
        return false;
    }
    const auto loaded = [](TCppWebBrowser *browser, const char *page) {
        return !browser->Busy() && browser->LocationURL().contains(QLatin1String(page));
    };
    if (!WaitUntil(
            [&] {
                return loaded(frmMain->cppHead, "index01") && loaded(frmMain->cppBody, "index02") &&
                       loaded(frmMain->cppEnd, "index03");
            },
            30000)) {
        m_error = QStringLiteral("the three pages did not load");
        return false;
    }
    return true;
}

QStringList ClientSession::queriesOf(const QString &path)
{
    QStringList queries;
    for (const QString &line : m_portal.requestLog()) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.value(1) == path)
            queries << fields.value(2);
    }
    return queries;
}

void ClickIn(TCppWebBrowser *browser, const QString &elementId)
{
    EvaluateIn(browser, QStringLiteral("document.getElementById('%1').click(); true").arg(elementId));
}

bool UserClickIn(TCppWebBrowser *browser, const QString &elementId)
{
    const QVariantList centre =
        EvaluateIn(browser,
                   QStringLiteral(
                       "(function () { var r = document.getElementById('%1')"
                       ".getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                       .arg(elementId))
            .toList();
    if (centre.size() != 2)
        return false;
    const QPoint point(qRound(centre[0].toDouble()), qRound(centre[1].toDouble()));
    // The page's own render widget takes the input.
    QWidget *target = browser->childAt(point);
    if (!target)
        return false;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(browser, point));
    return true;
}

QVariant EvaluateIn(TCppWebBrowser *browser, const QString &script)
{
    // The answer may come after the wait gave up: it must not write into this frame then.
    struct Answer
    {
        QVariant value;
        bool done = false;
    };
    const auto answer = std::make_shared<Answer>();
    const QPointer<TCppWebBrowser> guard(browser);
    browser->runScript(script, [answer](const QVariant &value) {
        answer->value = value;
        answer->done = true;
    });
    WaitUntil([&answer, &guard] { return answer->done || !guard; }, 10000);
    return answer->value;
}

QString BodyTextOf(TCppWebBrowser *browser)
{
    return EvaluateIn(browser, QStringLiteral("document.body ? document.body.innerText : ''")).toString();
}

bool Settle(const QList<TCppWebBrowser *> &browsers, int quietMs)
{
    QTest::qWait(quietMs);
    return WaitUntil([&browsers] {
        for (TCppWebBrowser *browser : browsers) {
            if (browser->Busy())
                return false;
        }
        return true;
    });
}

QString InstallBrowserStandIn(const QTemporaryDir &tools)
{
    const QString log = tools.filePath(QStringLiteral("opened.txt"));
    QFile opener(tools.filePath(QStringLiteral("xdg-open")));
    if (!opener.open(QIODevice::WriteOnly))
        return {};
    opener.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n").arg(log).toUtf8());
    opener.close();
    if (!opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {};
    qputenv("PATH", tools.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    return log;
}

QStringList OpenedAddressesIn(const QString &log)
{
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
