// Where the device window and its first-time tip go so that they stay on the screen: plain
// rectangle arithmetic on the screen's available area (the desktop's panels left out), apart
// from any window.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace windowfit {

// The largest zoom, 1..maxZoom, at which a window of `unzoomed` size fits within `area`; 1 when
// even that does not fit.
int largestZoom(QSize area, QSize unzoomed, int maxZoom);

// The window moved the least into the area. Along a side longer than the area's it cannot fit:
// it is centred on the area there, each half off it equally.
QRect keptInside(const QRect& window, const QRect& area);

// The window zoomed from one zoom to another about its centre, then kept inside the area. Back
// and forth, a window that was inside comes back where it was.
QRect zoomedAboutCentre(const QRect& window, int from, int to, const QRect& area);

// The top-left corner of a tip of `tip` size for the device at `device`: centred under it if
// there is room on the area, else above it, else inside it at the bottom, no higher than
// `highestInside` (clear of what it must not hide). `gap` apart from the device's edge; on the
// area in every case where the tip fits the area.
QPoint tipPlace(const QRect& device, QSize tip, const QRect& area, int highestInside, int gap);

}  // namespace windowfit
