#include "Popmess.h"

QPointer<TfrmPopMess> frmPopMess;

TfrmPopMess::TfrmPopMess(QWidget *parent)
    : QWidget(parent)
{}
