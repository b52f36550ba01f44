#pragma once

#include <QPointer>
#include <QWidget>

class TfrmPopIe : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmPopIe(QWidget *parent = nullptr);
};

extern QPointer<TfrmPopIe> frmPopIe;
