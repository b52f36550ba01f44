#include "PopupPictures.h"

#include "SharpPicture.h"

#include <QFile>

// The resources live in a static library, whose registration the linker would otherwise drop.
// (Q_INIT_RESOURCE must stand outside any namespace.)
static void registerPopupPictures()
{
    static const bool registered = [] {
        if (!QFile::exists(QStringLiteral(":/pictures/popup_close.png")))
            Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap PopupPicture(const QString &fileName)
{
    registerPopupPictures();
    return SharpPicture(QStringLiteral(":/pictures/") + fileName);
}
