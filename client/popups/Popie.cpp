#include "Popie.h"

QPointer<TfrmPopIe> frmPopIe;

TfrmPopIe::TfrmPopIe(QWidget *parent)
    : QWidget(parent)
{}
