#include "SharpPicture.h"

#include <QGuiApplication>

QPixmap SharpPicture(const QString &path)
{
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QString sharp = path;
        sharp.insert(sharp.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
        QPixmap pixmap;
        if (pixmap.load(sharp)) {
            pixmap.setDevicePixelRatio(2.0);
            return pixmap;
        }
    }
    return QPixmap(path);
}
