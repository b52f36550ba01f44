#pragma once

#include <QPointer>
#include <QWidget>

class TfrmIE : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmIE(QWidget *parent = nullptr);
};

extern QPointer<TfrmIE> frmIE;
