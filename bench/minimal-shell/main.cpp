// The floor of this engine for the automatic-login figure: one window with three stacked views
// (73/567/0 px) loading the three main pages after a login request in a hidden page that shares
// the profile. Nothing else: no settings file, no tray, no hidden browsers, no version check.
//   minimal_shell WEBROOT
#include <QApplication>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>

int main(int argc, char *argv[])
{
    // Same process model as the client, so the figure is the engine's floor, not a different setup.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --process-per-site");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QString root = app.arguments().value(1, QStringLiteral("http://127.0.0.1:17300"));

    QWebEngineProfile profile(QStringLiteral("minimal"));
    profile.setPersistentStoragePath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                     QStringLiteral("/minimal-shell/profile"));

    QWidget window;
    window.setWindowTitle(QStringLiteral("MinimalShell"));
    window.resize(1000, 640);
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QWebEngineView *views[3];
    const int heights[3] = {73, 567, 0};
    for (int i = 0; i < 3; ++i) {
        views[i] = new QWebEngineView(&window);
        views[i]->setPage(new QWebEnginePage(&profile, views[i]));
        views[i]->setFixedHeight(heights[i]);
        layout->addWidget(views[i]);
    }

    auto *login = new QWebEnginePage(&profile, &window);
    QObject::connect(login, &QWebEnginePage::loadFinished, &window, [&](bool) {
        const char *pages[3] = {"/clilogin/index01.jsp", "/clilogin/index02.jsp", "/clilogin/index03.jsp"};
        for (int i = 0; i < 3; ++i)
            views[i]->load(QUrl(root + QString::fromLatin1(pages[i])));
        window.show();
    });
    login->load(QUrl(root + QStringLiteral("/clilogin/clilogin.jsp?mac=bench&ver=3.0.05&userid=demo&"
                                           "userpass=demo123&userrole=")));
    // The window (and with it every page) is destroyed before the profile declared above it.
    return app.exec();
}
