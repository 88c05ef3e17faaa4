// Segment pictures kept as text: one row of '#' (lit) and '.' (glass) per line.
#pragma once

#include <QImage>
#include <QString>

struct GridResult {
    QImage image;   // 1-bit, index 0 the glass colour, index 1 black; null on error
    QString error;  // "line N: what is wrong" when the text is not a grid
};

// Reads a grid. Lines starting with ';' are notes for the reader and are skipped, as are
// blank lines after the last row.
GridResult parseGrid(const QString& text);
GridResult loadGridFile(const QString& path);

// An empty 1-bit picture with the segment palette, every pixel glass.
QImage blankSegment(int width, int height);

// The text form of a 1-bit picture, the inverse of parseGrid.
QString gridText(const QImage& segment);
