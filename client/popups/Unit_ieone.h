#pragma once

#include <QPointer>
#include <QWidget>

class TfrmIEOne : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmIEOne(QWidget *parent = nullptr);
};

extern QPointer<TfrmIEOne> frmIEOne;
