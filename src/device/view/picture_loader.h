// Loading the pictures of the windows: JPEGs through libjpeg-turbo, the 1-bit segment pictures
// through Qt. A picture that cannot be read yields an error naming the file. The artwork tool
// reads and shows the pictures with the same code.
#pragma once

#include <QImage>
#include <QString>

// Decodes a JPEG file with libjpeg-turbo. On failure returns a null image and sets error.
QImage loadJpeg(const QString& path, QString* error);

// Loads a picture by its file name: .jpg through loadJpeg, anything else through QImage.
QImage loadPicture(const QString& path, QString* error);

// A segment picture as a transparent component shows it: its dark pixels only.
QImage darkPixelsOnly(const QImage& picture);
