// JPEG files through libjpeg-turbo, the same library the program reads them with.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

QByteArray encodeJpeg(const QImage& image, int quality = 92);
QImage decodeJpegData(const QByteArray& data);

// Returns an empty string on success, otherwise what went wrong, naming the file.
QString writeJpeg(const QImage& image, const QString& path, int quality = 92);
