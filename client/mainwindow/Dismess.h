#pragma once

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class TCppWebBrowser;
class TPageControlEx;

// The tabbed page window: pages that the main window's body sends with "tarwin=1", and pages that
// a tab opens in a new window. Hidden, never destroyed, when closed or when its last tab goes.
class TfrmDisMess : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmDisMess(QWidget *parent = nullptr);

    TPageControlEx *pageControl() const { return m_pageControl; }
    // The template browser whose handlers every tab's browser carries. Never navigated.
    TCppWebBrowser *cppParant() const { return m_cppParant; }
    QAction *atDeleNowPage() const { return m_atDeleNowPage; }
    QString statusText() const;

    // A new active tab whose browser fills it, silent, with the handlers of cppParant.
    TCppWebBrowser *addBrowserTab(const QString &caption);
    // Gives a browser the handlers of cppParant.
    void copyParantHandlers(TCppWebBrowser *browser);
    // The browser of tab `index`, or null.
    TCppWebBrowser *tabBrowser(int index) const;

    void DeleteCurrentPage(bool closing);
    bool closing() const { return FClosing; }

public slots:
    void atQuitExecute();
    void atDeleNowPageExecute();

    void cppParantNewWindow2(TCppWebBrowser *&target, bool &cancel);
    void cppParantTitleChange(const QString &title);
    void cppParantProgressChange(int progress, int maximum);
    void cppParantDocumentComplete(const QString &url);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *newSheet(const QString &caption);
    TCppWebBrowser *newTabBrowser(QWidget *sheet);
    void setStatusText(const QString &text);

    TPageControlEx *m_pageControl = nullptr;
    TCppWebBrowser *m_cppParant = nullptr;
    QLabel *m_status = nullptr;
    QAction *m_atQuit = nullptr;
    QAction *m_atDeleNowPage = nullptr;
    bool FClosing = false;
    // While a tab is being added the engine is inside its new-window call, holding the page that
    // asked and the new one: tabs are not deleted then, only right after.
    int m_addingTab = 0;
};

extern QPointer<TfrmDisMess> frmDisMess;
