#include "DragBands.h"

namespace {

// The band at the top of a page that drags its window.
constexpr int kBandHeight = 27;

} // namespace

MoveWindow WindowToMove(PressedBrowser browser, int x, int y, int browserWidth, int loginWidth)
{
    if (y >= kBandHeight)
        return MoveWindow::None;
    switch (browser) {
    case PressedBrowser::LoginWeb1:
        return x < loginWidth - 27 ? MoveWindow::Login : MoveWindow::None;
    case PressedBrowser::MainHead:
        // The head page keeps its own controls between 635 and 710 and from 863 on.
        return (x < 635 || (x > 710 && x < 863)) ? MoveWindow::Main : MoveWindow::None;
    case PressedBrowser::SpriteWeb1:
        return x < browserWidth - 20 ? MoveWindow::Sprite : MoveWindow::None;
    case PressedBrowser::LinkPopupIe1:
        return x < browserWidth - 100 ? MoveWindow::LinkPopup : MoveWindow::None;
    case PressedBrowser::Other:
        break;
    }
    return MoveWindow::None;
}

QString PressInfoText(int x, int y, int headWidth)
{
    return QStringLiteral("x:%1,y:%2,width:%3").arg(x).arg(y).arg(headWidth);
}
