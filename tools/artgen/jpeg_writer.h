// Writes JPEG files through libjpeg-turbo, the same library the program reads them with.
#pragma once

#include <QImage>
#include <QString>

// Returns an empty string on success, otherwise what went wrong, naming the file.
QString writeJpeg(const QImage& image, const QString& path, int quality = 92);
