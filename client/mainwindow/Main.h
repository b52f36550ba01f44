#pragma once

#include <QPointer>
#include <QWidget>

class TfrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
};

extern QPointer<TfrmMain> frmMain;
