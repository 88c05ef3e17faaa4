// What the picture tests share: the layout as the program reads it, the pictures as the
// program decodes them, and the black pixels of a segment placed on the device.
#pragma once

#include "device/layout.h"

#include <QImage>
#include <QPoint>
#include <QSet>
#include <QString>

#include <vector>

const std::vector<ComponentDef>& layoutComponents();
const ComponentDef& component(const QString& name);
QString picturePath(const QString& file);

// Decodes a JPEG with libjpeg-turbo; a null image when it does not decode.
QImage decodeJpeg(const QString& path);

// The picture a segment shows (its own or the shared one), loaded from the picture folder.
QImage segmentPicture(const QString& name);

// The lit (black) pixels of a segment, in device window coordinates.
QSet<QPoint> inkOf(const QString& name);

// How many 8-connected pieces a set of pixels falls into.
int pieces(const QSet<QPoint>& pixels);
