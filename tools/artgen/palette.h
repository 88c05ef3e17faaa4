// The colours every picture of the device shares. The glass colour is the one that matters
// most: the background picture fills both screens with it, and the segments that are painted
// whole (the bottom belt of the right screen) carry it as their light colour, so the two
// must be the same value.
#pragma once

#include <QColor>

namespace palette {

inline const QColor glass{0xc4, 0xcc, 0xb0};       // pale grey-green LCD glass
inline const QColor ink{0x00, 0x00, 0x00};         // a lit segment
inline const QColor printDark{0x8e, 0x96, 0x84};   // printed scenery: belts, floors, the frame
inline const QColor printLight{0xa8, 0xb0, 0x98};  // printed scenery: rollers' hubs, hatching

inline const QColor caseDark{0x1b, 0x1c, 0x20};
inline const QColor caseMid{0x2e, 0x30, 0x36};
inline const QColor caseEdge{0x4a, 0x4d, 0x55};
inline const QColor bezel{0x3a, 0x3c, 0x40};
inline const QColor label{0xd8, 0xd2, 0xc0};       // printed button labels
inline const QColor accent{0xd4, 0x5a, 0x2a};      // the orange of the game buttons and the band
inline const QColor metal{0xb8, 0xbc, 0xc2};

}  // namespace palette
