#include "Flogin.h"

#include <QCloseEvent>
#include <QCoreApplication>

QPointer<TfrmLogin> frmLogin;

TfrmLogin::TfrmLogin(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Sorvane金融终端 用户登录"));
}

void TfrmLogin::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}
