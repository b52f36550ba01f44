#include "ClientSession.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientStartup.h"
#include "CppWebBrowser.h"
#include "PageDriver.h"
#include "TestFiles.h"
#include "client/login/Flogin.h"
#include "client/mainwindow/Dismess.h"
#include "client/mainwindow/Disvideo.h"
#include "client/mainwindow/Main.h"
#include "client/mainwindow/PageControlEx.h"
#include "client/popups/Popie.h"
#include "client/popups/Unit_ie.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

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

bool ClientSession::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool ClientSession::writeSettings()
{
    // The settings file of a user who logs in automatically.
    return WriteLinkSettings(settingsPath(), {{QStringLiteral("webroot"), m_portal.baseUrl()},
                                              {QStringLiteral("savepass"), QStringLiteral("1")},
                                              {QStringLiteral("aotologin"), QStringLiteral("1")},
                                              {QStringLiteral("userid"), QStringLiteral("demo")},
                                              {QStringLiteral("userpass"), QStringLiteral("demo123")},
                                              {QStringLiteral("userrole"), QString()}});
}

void ClientSession::recordBoxes()
{
    SetMessageBoxHandler([this](const MessageBoxRequest &request) {
        m_boxes << request;
        return BoxAnswer::Cancel;
    });
}

bool ClientSession::start()
{
    if (!m_portal.start())
        return fail(QStringLiteral("portal: ") + m_portal.errorString());
    if (!writeSettings())
        return fail(QStringLiteral("cannot write mainkw.ini"));
    m_previousFolder = QDir::currentPath();
    QDir::setCurrent(m_folder.path());

    recordBoxes();
    CreateClientWindows();
    frmLogin->show();
    if (!WaitUntil([] { return frmMain && frmMain->isVisible(); }, 30000))
        return fail(QStringLiteral("the main window did not open; boxes: %1").arg(m_boxes.size()));
    const auto loaded = [](TCppWebBrowser *browser, const char *page) {
        return !browser->Busy() && browser->LocationURL().contains(QLatin1String(page));
    };
    if (!WaitUntil(
            [&] {
                return loaded(frmMain->cppHead, "index01") && loaded(frmMain->cppBody, "index02") &&
                       loaded(frmMain->cppEnd, "index03");
            },
            30000))
        return fail(QStringLiteral("the three pages did not load"));
    m_startPages = {frmMain->cppHead->LocationURL(), frmMain->cppBody->LocationURL(),
                    frmMain->cppEnd->LocationURL()};
    return true;
}

bool ClientSession::reset()
{
    if (!frmMain || m_startPages.size() != 3)
        return fail(QStringLiteral("no session to reset"));
    if (!frmMain->isVisible())
        frmMain->atRstore->trigger();
    if (frmPopIe)
        frmPopIe->hide();
    // Closing the tabbed window deletes its tabs and hides it; a video window stops its page.
    if (frmDisMess && frmDisMess->isVisible())
        frmDisMess->close();
    for (QWidget *window : AppWindows()) {
        if ((qobject_cast<TfrmDisVideo *>(window) || qobject_cast<TfrmIE *>(window)) && window->isVisible())
            window->close();
    }
    const QList<TCppWebBrowser *> areas{frmMain->cppHead, frmMain->cppBody, frmMain->cppEnd};
    for (int i = 0; i < areas.size(); ++i) {
        if (areas[i]->LocationURL() != m_startPages[i] && !LoadPage(areas[i], m_startPages[i]))
            return fail(QStringLiteral("area %1 did not go back to %2").arg(i).arg(m_startPages[i]));
    }
    if (!Idle(areas) || !WaitUntil([] { return frmMain->isVisible(); }, 10000))
        return fail(QStringLiteral("the main window did not settle"));
    if (frmDisMess && !WaitUntil([] { return frmDisMess->pageControl()->count() == 0; }, 10000))
        return fail(QStringLiteral("the tabbed window kept its tabs"));
    if (!writeSettings())
        return fail(QStringLiteral("cannot write mainkw.ini"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_boxes.clear();
    recordBoxes();
    m_logMark = int(m_portal.requestLog().size());
    return true;
}

QStringList ClientSession::queriesOf(const QString &path)
{
    QStringList queries;
    const QStringList log = m_portal.requestLog();
    for (int i = m_logMark; i < log.size(); ++i) {
        const QStringList fields = log[i].split(QLatin1Char('\t'));
        if (fields.value(1) == path)
            queries << fields.value(2);
    }
    return queries;
}

LoadEnds::LoadEnds(const QList<TCppWebBrowser *> &browsers)
    : m_browsers(browsers)
{
    for (TCppWebBrowser *browser : browsers)
        m_spies.push_back(std::make_unique<QSignalSpy>(browser, &TCppWebBrowser::OnDownloadComplete));
}

LoadEnds::~LoadEnds() = default;

bool LoadEnds::wait(TCppWebBrowser *browser, int count, int ms) const
{
    const int index = int(m_browsers.indexOf(browser));
    if (index < 0)
        return false;
    const QSignalSpy &ends = *m_spies[size_t(index)];
    return WaitUntil([&] { return ends.count() >= count; }, ms) && Idle(m_browsers, ms);
}

bool Idle(const QList<TCppWebBrowser *> &browsers, int ms)
{
    return WaitUntil(
        [&browsers] {
            for (TCppWebBrowser *browser : browsers) {
                if (browser->Busy())
                    return false;
            }
            return true;
        },
        ms);
}

bool UserClickIn(TCppWebBrowser *browser, const QString &elementId)
{
    const QVariantList centre =
        ScriptResult(
            browser,
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
