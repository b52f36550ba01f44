#pragma once

#include "PopupBrowserForm.h"

#include <QPointer>

// The plain pop-up: a frameless window filled by its browser, opened by the open-window command
// and found again by its target name.
class TfrmIE : public PopupBrowserForm
{
    Q_OBJECT

public:
    explicit TfrmIE(QWidget *parent = nullptr);

    // The name the open-window command finds this window by; empty until a command names it.
    QString TargetName() const { return m_targetName; }
    void setTargetName(const QString &name) { m_targetName = name; }

private:
    QString m_targetName;
};

// The spare plain pop-up made at start-up; nothing shows it.
extern QPointer<TfrmIE> frmIE;
