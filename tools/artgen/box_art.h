// The launcher's two box pictures and the about dialog's photo: colour illustrations of our
// own, drawn at their window sizes.
#pragma once

#include <QImage>

QImage renderBoxFront();      // 200 x 168: the game's box as sold
QImage renderBoxAlternate();  // 200 x 168: the same box in its other edition
QImage renderPhoto();         // 252 x 84: the author as a cartoon at his desk
