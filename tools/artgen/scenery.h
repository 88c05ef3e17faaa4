// What is printed on the two LCD screens under the segments: belts, floors, the truck's
// parking place and the ground. Everything is placed from the layout's rectangles, so the
// print stays under the segments it belongs to.
#pragma once

#include "tools/artgen/art_layout.h"

#include <QPainter>

// Fills both screens with the glass colour and prints the scenery on them.
void drawScreens(QPainter& painter, const ArtLayout& layout);

// The glass of each screen, as the layout's screen overlays give it.
QRect leftGlass(const ArtLayout& layout);
QRect rightGlass(const ArtLayout& layout);
