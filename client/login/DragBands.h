#pragma once

#include <QString>

// Which frameless window a left press in a page's top band moves.

// The browser a press landed in (the receiving widget is that browser or inside it).
enum class PressedBrowser { Other, LoginWeb1, MainHead, SpriteWeb1, LinkPopupIe1 };

enum class MoveWindow { None, Login, Main, Sprite, LinkPopup };

// x and y are the press position in the browser; `browserWidth` its width; `loginWidth` the
// login window's width.
MoveWindow WindowToMove(PressedBrowser browser, int x, int y, int browserWidth, int loginWidth);

// The main window's diagnostic line for a press: "x:..,y:..,width:.." with the head area's width.
QString PressInfoText(int x, int y, int headWidth);
