#pragma once

#include <QMainWindow>
#include <QPointer>

class TfrmDisMess : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmDisMess(QWidget *parent = nullptr);
};

extern QPointer<TfrmDisMess> frmDisMess;
