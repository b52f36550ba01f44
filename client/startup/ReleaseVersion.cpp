#include "ReleaseVersion.h"

int CompareVersionText(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseSensitive);
}
