// Review sheets: every segment picture enlarged with its name, and scenes of the display lit
// over the body picture as the game shows them.
#pragma once

#include "common/expected.h"
#include "tools/artgen/art_layout.h"
#include "tools/artgen/segments.h"

#include <QImage>
#include <QStringList>

// The segment whose picture a segment shows: itself, or the one the layout has the device copy
// the picture from at start.
QString pictureSource(const std::vector<ComponentDef>& components, const QString& segment);

// Writes the sheets into a folder.
Expected<void> writeContactSheets(const QImage& body, const ArtLayout& layout, const SegmentSet& segments,
                           const QString& folder);
