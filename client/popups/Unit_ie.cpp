#include "Unit_ie.h"

QPointer<TfrmIE> frmIE;

TfrmIE::TfrmIE(QWidget *parent)
    : QWidget(parent)
{}
