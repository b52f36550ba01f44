#include "Unit_ie.h"

#include "CppWebBrowser.h"

#include <QVBoxLayout>

QPointer<TfrmIE> frmIE;

TfrmIE::TfrmIE(QWidget *parent)
    : PopupBrowserForm(parent)
{
    setObjectName(QStringLiteral("frmIE"));
    resize(551, 413);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ie1);
}
