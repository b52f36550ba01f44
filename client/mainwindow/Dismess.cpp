#include "Dismess.h"

QPointer<TfrmDisMess> frmDisMess;

TfrmDisMess::TfrmDisMess(QWidget *parent)
    : QMainWindow(parent)
{}
