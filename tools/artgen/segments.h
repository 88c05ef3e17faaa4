// The LCD segment pictures: every component of the layout with a PNG picture of its own.
#pragma once

#include "tools/artgen/art_layout.h"

#include <QImage>
#include <QMap>
#include <QString>

#include "common/expected.h"

struct SegmentSet {
    QMap<QString, QImage> pictures;  // by component name
};

// Builds the picture of every layout component whose picture is a PNG: the digits by rule, the
// others from the grid file of the same name in gridDir. A grid whose size differs from the
// component's rectangle is an error; the first problem found names the file.
Expected<SegmentSet> buildSegments(const ArtLayout& layout, const QString& gridDir);
