#pragma once

#include <QPointer>
#include <QWidget>

class TfrmPopMess : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmPopMess(QWidget *parent = nullptr);
};

extern QPointer<TfrmPopMess> frmPopMess;
