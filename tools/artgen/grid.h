// Segment pictures kept as text: one row of '#' (lit) and '.' (glass) per line.
#pragma once

#include <QImage>
#include <QString>

#include "common/expected.h"

// Reads a grid file into a 1-bit picture, index 0 the glass colour, index 1 black. Lines
// starting with ';' are notes for the reader and are skipped, as are blank lines after the last
// row. What is wrong names the file and the line.
Expected<QImage> loadGridFile(const QString& path);

// An empty 1-bit picture with the segment palette, every pixel glass.
QImage blankSegment(int width, int height);
