// Where the device window and its tip go: zooms that fit the screen's available area, zooming
// about the window's centre, the tip under, over or inside the device.
#include <gtest/gtest.h>

#include "device/view/window_fit.h"

namespace {

const QSize Open(766, 416);  // the open device at zoom 1

TEST(WindowFit, TheLargestZoomIsTheLargestWholeOpenDeviceTheAreaHolds)
{
    struct Case {
        QSize area;
        int zoom;
    };
    for (const Case& each : {Case{{1280, 800}, 1}, Case{{1920, 1080}, 2}, Case{{1400, 900}, 1},
                             Case{{2298, 1248}, 3}, Case{{2297, 1248}, 2}, Case{{3840, 2160}, 4},
                             Case{{7680, 4320}, 4}, Case{{639, 479}, 1}}) {
        EXPECT_EQ(windowfit::largestZoom(each.area, Open, 4), each.zoom)
            << each.area.width() << "x" << each.area.height();
    }
}

// A window that was inside comes back to the pixel when zoomed back; one pushed off an edge by
// the zoom, or one partly off the area before, is moved the least onto it; a side too long for
// the area is centred on it.
TEST(WindowFit, ZoomingKeepsTheCentreAndTheWindowOnTheArea)
{
    const QRect hd(0, 0, 1920, 1080);
    struct Case {
        QRect window;
        int from, to;
        QRect area;
        QRect zoomed;
    };
    for (const Case& each : {
             Case{{577, 332, 766, 416}, 1, 2, hd, {194, 124, 1532, 832}},
             Case{{194, 124, 1532, 832}, 2, 1, hd, {577, 332, 766, 416}},
             Case{{1100, 600, 766, 416}, 1, 2, hd, {388, 248, 1532, 832}},
             Case{{-52, -52, 1532, 832}, 2, 1, hd, {331, 156, 766, 416}},
             Case{{-52, -52, 766, 416}, 1, 1, hd, {0, 0, 766, 416}},
             Case{{100, 50, 766, 416}, 1, 2, QRect(0, 30, 1920, 1050), {0, 30, 1532, 832}},
             Case{{2000, 100, 766, 416}, 1, 1, QRect(1920, 0, 1280, 800), {2000, 100, 766, 416}},
             Case{{10, 10, 766, 416}, 1, 1, QRect(0, 0, 639, 479), {-63, 10, 766, 416}},
         }) {
        EXPECT_EQ(windowfit::zoomedAboutCentre(each.window, each.from, each.to, each.area), each.zoomed)
            << each.window.x() << "," << each.window.y() << " " << each.from << "x to " << each.to << "x";
    }
}

TEST(WindowFit, TheTipGoesUnderTheDeviceElseAboveElseInsideAtTheBottom)
{
    const QSize tip(273, 42);
    const QRect hd(0, 0, 1920, 1080);
    struct Case {
        QRect device;
        QRect area;
        QPoint at;
    };
    for (const Case& each : {
             Case{{577, 332, 766, 416}, hd, {823, 754}},         // under
             Case{{194, 240, 1532, 832}, hd, {823, 192}},        // above
             Case{{0, 20, 1532, 1040}, hd, {629, 1012}},         // inside, at the bottom
             Case{{0, 20, 1532, 240}, QRect(0, 0, 1920, 300), {629, 220}},  // no higher than the pads
             Case{{1800, 332, 766, 416}, hd, {1647, 754}},       // kept on the area
         }) {
        EXPECT_EQ(windowfit::tipPlace(each.device, tip, each.area, each.device.top() + 200, 6), each.at)
            << each.device.x() << "," << each.device.y() << " " << each.device.width() << "x" << each.device.height();
    }
}

}  // namespace
