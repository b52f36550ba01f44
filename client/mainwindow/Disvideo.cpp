#include "Disvideo.h"

QPointer<TfrmDisVideo> frmDisVideo;

TfrmDisVideo::TfrmDisVideo(QWidget *parent)
    : QWidget(parent)
{}
