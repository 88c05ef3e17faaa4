// Loading the pictures of the windows: JPEGs through libjpeg-turbo, the 1-bit segment pictures
// through Qt. A picture that cannot be read yields an error naming the file. The artwork tool
// reads and shows the pictures with the same code.
#pragma once

#include <QImage>
#include <QString>

#include "common/expected.h"

// Decodes a JPEG file with libjpeg-turbo.
Expected<QImage> loadJpeg(const QString& path);

// Loads a picture by its file name: .jpg through loadJpeg, anything else through QImage.
Expected<QImage> loadPicture(const QString& path);

// A segment picture (which has a colour table) as a transparent component shows it: its dark
// pixels only.
QImage darkPixelsOnly(const QImage& picture);
