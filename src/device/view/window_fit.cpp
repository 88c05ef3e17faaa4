#include "device/view/window_fit.h"

#include <algorithm>

namespace windowfit {

namespace {

// The start of a span of `length` moved into [areaStart, areaStart + areaLength): the least move,
// or centred when it is the longer.
int keptInside(int start, int length, int areaStart, int areaLength)
{
    if (length > areaLength)
        return areaStart + (areaLength - length) / 2;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

}  // namespace

int largestZoom(QSize area, QSize unzoomed, int maxZoom)
{
    const int fits = std::min(area.width() / unzoomed.width(), area.height() / unzoomed.height());
    return std::clamp(fits, 1, maxZoom);
}

QRect keptInside(const QRect& window, const QRect& area)
{
    return QRect(QPoint(keptInside(window.left(), window.width(), area.left(), area.width()),
                        keptInside(window.top(), window.height(), area.top(), area.height())),
                 window.size());
}

QRect zoomedAboutCentre(const QRect& window, int from, int to, const QRect& area)
{
    // Whole sizes at every zoom: the change of each side is a multiple of the unzoomed side, and
    // even when that side is, so the centre stays put to the pixel.
    const QSize size(window.width() / from * to, window.height() / from * to);
    const QPoint corner(window.left() + (window.width() - size.width()) / 2,
                        window.top() + (window.height() - size.height()) / 2);
    return keptInside(QRect(corner, size), area);
}

QPoint tipPlace(const QRect& device, QSize tip, const QRect& area, int highestInside, int gap)
{
    int y = device.bottom() + 1 + gap;
    if (y + tip.height() > area.bottom() + 1) {
        y = device.top() - gap - tip.height();
        if (y < area.top())
            y = std::max(highestInside, device.bottom() + 1 - gap - tip.height());
    }
    const int x = device.left() + (device.width() - tip.width()) / 2;
    return keptInside(QRect(QPoint(x, y), tip), area).topLeft();
}

}  // namespace windowfit
