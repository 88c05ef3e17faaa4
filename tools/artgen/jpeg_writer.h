// JPEG files written through libjpeg-turbo; the program's own loader reads them back.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

QByteArray encodeJpeg(const QImage& image, int quality = 92);

// Returns an empty string on success, otherwise what went wrong, naming the file.
QString writeJpeg(const QImage& image, const QString& path, int quality = 92);
