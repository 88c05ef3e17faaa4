// Review sheets: every segment picture enlarged with its name, and scenes of the display lit
// over the body picture as the game shows them.
#pragma once

#include "art_layout.h"
#include "segments.h"

#include <QImage>
#include <QStringList>

// The segment whose picture a segment shows: itself, or the one the layout has the device copy
// the picture from at start.
QString pictureSource(const std::vector<ComponentDef>& components, const QString& segment);

// The body with the named segments lit, in drawing order: transparent segments draw only their
// black pixels, the others their whole rectangle. digits gives the four digit positions left to
// right, -1 for blank.
QImage compositeDisplay(const QImage& body, const ArtLayout& layout, const SegmentSet& segments,
                        const QStringList& lit, const int (&digits)[4]);

// Writes the sheets into a folder; returns an empty string or what went wrong.
QString writeContactSheets(const QImage& body, const ArtLayout& layout, const SegmentSet& segments,
                           const QString& folder);
