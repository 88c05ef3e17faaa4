// The device itself: the open body with its screens and printed labels, the closed cover,
// the control pads and buttons, and the program icon.
#pragma once

#include "tools/artgen/art_layout.h"

#include <QImage>

enum class ButtonLook { Raised, Pressed };

// The open device, 766 x 416. The body picture shows every button and pad pressed: it is what
// shows while a button's own picture is hidden. The raised rendering is where the button
// pictures are cut from, so the two always match around the edges.
QImage renderDevice(const ArtLayout& layout, ButtonLook look);

// The closed device, filling an image of the given size (the cover at 372 x 416, smaller for
// icons). Small sizes leave out what would only blur.
QImage renderClosedDevice(QSize size);

// The program icon: the closed device centred on a transparent square.
QImage renderIcon(int size);
