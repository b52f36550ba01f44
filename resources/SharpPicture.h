#pragma once

#include <QPixmap>
#include <QString>

// A picture from the resources. On a high-density screen it is the drawing made at twice the size
// ("name@2x.png") where there is one, so it stays sharp at the same logical size.
QPixmap SharpPicture(const QString &path);
