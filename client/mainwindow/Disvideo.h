#pragma once

#include <QPointer>
#include <QWidget>

class TfrmDisVideo : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmDisVideo(QWidget *parent = nullptr);
};

extern QPointer<TfrmDisVideo> frmDisVideo;
