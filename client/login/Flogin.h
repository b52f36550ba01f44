#pragma once

#include <QPointer>
#include <QWidget>

// The login window, the application's main form: closing it ends the client.
class TfrmLogin : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmLogin(QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern QPointer<TfrmLogin> frmLogin;
