#pragma once

#include <QPixmap>
#include <QString>

// A picture of the pop-up windows from the application's resources, by file name.
QPixmap PopupPicture(const QString &fileName);
