// Review sheets: every segment picture enlarged with its name, and scenes of the display lit
// over the body picture as the game shows them.
#pragma once

#include "art_layout.h"
#include "segments.h"

#include <QImage>
#include <QStringList>

// The picture a segment shows: its own, or the one the device copies to it at start.
QString pictureSource(const QString& segment);

// The body with the named segments lit, in drawing order: transparent segments draw only their
// black pixels, the others their whole rectangle. digits gives the four digit positions left to
// right, -1 for blank.
QImage compositeDisplay(const QImage& body, const ArtLayout& layout, const SegmentSet& segments,
                        const QStringList& lit, const int (&digits)[4]);

// Writes the sheets into a folder; returns an empty string or what went wrong.
QString writeContactSheets(const QImage& body, const ArtLayout& layout, const SegmentSet& segments,
                           const QString& folder);
