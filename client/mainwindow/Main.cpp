#include "Main.h"

QPointer<TfrmMain> frmMain;

TfrmMain::TfrmMain(QWidget *parent)
    : QWidget(parent)
{}
