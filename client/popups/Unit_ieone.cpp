#include "Unit_ieone.h"

QPointer<TfrmIEOne> frmIEOne;

TfrmIEOne::TfrmIEOne(QWidget *parent)
    : QWidget(parent)
{}
