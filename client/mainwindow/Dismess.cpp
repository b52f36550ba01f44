#include "Dismess.h"

#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "FloodLimits.h"
#include "PageControlEx.h"
#include "PageWindowRules.h"
#include "client/widgets/WindowMoves.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

QPointer<TfrmDisMess> frmDisMess;

namespace {

constexpr int kClientWidth = 1016;
constexpr int kClientHeight = 396;

} // namespace

TfrmDisMess::TfrmDisMess(QWidget *parent)
    : QMainWindow(parent)
{
    // Owned by no other window of the client: its own task-bar entry, independent of the main window.
    setWindowFlag(Qt::Window);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Sorvane金融终端"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    m_atQuit = new QAction(QStringLiteral("退出"), this);
    m_atDeleNowPage = new QAction(QStringLiteral("删除当前页面"), this);
    connect(m_atQuit, &QAction::triggered, this, &TfrmDisMess::atQuitExecute);
    connect(m_atDeleNowPage, &QAction::triggered, this, &TfrmDisMess::atDeleNowPageExecute);
    // Both items sit directly on the bar, without a drop-down.
    menuBar()->addAction(m_atQuit);
    menuBar()->addAction(m_atDeleNowPage);

    // A label, not the bar's message: menu hovering would clear a message.
    m_status = new QLabel(QStringLiteral("Telvar欢迎您"), this);
    statusBar()->addWidget(m_status, 1);
    statusBar()->setSizeGripEnabled(false);

    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    // The template browser lies under the page control and is never shown, so it never costs a page.
    m_cppParant = new TCppWebBrowser(client);
    m_cppParant->setObjectName(QStringLiteral("cppParant"));
    m_cppParant->hide();
    m_pageControl = new TPageControlEx(client);
    layout->addWidget(m_pageControl);
    setCentralWidget(client);
    connect(m_pageControl, &TPageControlEx::leftDoubleClicked, this, [this] { DeleteCurrentPage(FClosing); });
    copyParantHandlers(m_cppParant);

    // The client area holds the pages and the status bar; the menu bar comes on top of it.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    CentreOnScreen(this, CentreArea::WholeScreen);
}

QString TfrmDisMess::statusText() const
{
    return m_status->text();
}

void TfrmDisMess::setStatusText(const QString &text)
{
    m_status->setText(text);
}

void TfrmDisMess::copyParantHandlers(TCppWebBrowser *browser)
{
    // The handlers do not look at which browser raised the event. No before-navigate handler:
    // pages in tabs are never inspected for commands.
    connect(browser, &TCppWebBrowser::OnNewWindow2, this, &TfrmDisMess::cppParantNewWindow2);
    connect(browser, &TCppWebBrowser::OnTitleChange, this, &TfrmDisMess::cppParantTitleChange);
    connect(browser, &TCppWebBrowser::OnProgressChange, this, &TfrmDisMess::cppParantProgressChange);
    connect(browser, &TCppWebBrowser::OnDocumentComplete, this, &TfrmDisMess::cppParantDocumentComplete);
}

QWidget *TfrmDisMess::newSheet(const QString &caption)
{
    auto *sheet = new QWidget(m_pageControl);
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pageControl->addTab(sheet, caption);
    return sheet;
}

TCppWebBrowser *TfrmDisMess::newTabBrowser(QWidget *sheet)
{
    auto *browser = new TCppWebBrowser(sheet);
    browser->setSilent(true);
    browser->setRetryOffline(true);
    copyParantHandlers(browser);
    // It fills its sheet, also for tabs opened as new windows.
    sheet->layout()->addWidget(browser);
    return browser;
}

TCppWebBrowser *TfrmDisMess::addBrowserTab(const QString &caption)
{
    QWidget *sheet = newSheet(caption);
    TCppWebBrowser *browser = newTabBrowser(sheet);
    m_pageControl->setCurrentWidget(sheet);
    browser->show();
    return browser;
}

TCppWebBrowser *TfrmDisMess::tabBrowser(int index) const
{
    QWidget *sheet = m_pageControl->widget(index);
    return sheet ? sheet->findChild<TCppWebBrowser *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void TfrmDisMess::DeleteCurrentPage(bool closing)
{
    if (m_addingTab > 0) {
        QTimer::singleShot(0, this, [this, closing] { DeleteCurrentPage(closing); });
        return;
    }
    if (!closing && m_pageControl->count() == 1)
        hide();
    const int index = m_pageControl->currentIndex();
    if (index >= 0) {
        QWidget *sheet = m_pageControl->widget(index);
        const QList<TCppWebBrowser *> browsers =
            sheet->findChildren<TCppWebBrowser *>(QString(), Qt::FindDirectChildrenOnly);
        for (TCppWebBrowser *browser : browsers) {
            // Its page goes at once; the widgets when control is back in the event loop.
            browser->releasePage();
            browser->deleteLater();
        }
        m_pageControl->removeTab(index);
        sheet->deleteLater();
    }
    if (index >= 2)
        m_pageControl->setCurrentIndex(index - 1);
}

void TfrmDisMess::atQuitExecute()
{
    close();
}

void TfrmDisMess::atDeleNowPageExecute()
{
    DeleteCurrentPage(FClosing);
}

void TfrmDisMess::closeEvent(QCloseEvent *event)
{
    FClosing = true;
    // Bounded by the tab count, so a tab that would not go cannot hang the close.
    for (int left = m_pageControl->count(); left > 0 && m_pageControl->currentIndex() >= 0; --left)
        m_atDeleNowPage->trigger();
    FClosing = false;
    // Hidden, not destroyed: the next tab shows the same window again.
    event->accept();
}

void TfrmDisMess::cppParantNewWindow2(TCppWebBrowser *&target, bool &cancel)
{
    // A page opening windows in a loop gets no more tabs past the limit.
    if (m_pageControl->count() >= kMostTabs) {
        cancel = true;
        return;
    }
    QWidget *sheet = newSheet(QString());
    TCppWebBrowser *browser = newTabBrowser(sheet);
    browser->show();
    // Attached and active before anything else may run in between.
    m_pageControl->setCurrentWidget(sheet);
    ++m_addingTab;
    PumpEvents();
    browser->setRegisterAsBrowser(true);
    target = browser;
    activateWindow();
    browser->setFocus();
    PumpEvents();
    --m_addingTab;
}

void TfrmDisMess::cppParantTitleChange(const QString &title)
{
    const TabTitleTexts texts = TabTitleFor(title);
    // The tab active now gets it, whichever tab's page reported the title.
    const int index = m_pageControl->currentIndex();
    if (index >= 0)
        m_pageControl->setTabText(index, texts.caption);
    setStatusText(texts.status);
}

void TfrmDisMess::cppParantProgressChange(int progress, int maximum)
{
    if (const std::optional<QString> text = ProgressStatusText(progress, maximum))
        setStatusText(*text);
}

void TfrmDisMess::cppParantDocumentComplete(const QString &url)
{
    Q_UNUSED(url);
    setStatusText(QStringLiteral("完成"));
}
