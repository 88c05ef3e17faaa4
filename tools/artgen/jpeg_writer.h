// JPEG files written through libjpeg-turbo; the program's own loader reads them back.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "common/expected.h"

QByteArray encodeJpeg(const QImage& image, int quality = 92);

// What went wrong names the file.
Expected<void> writeJpeg(const QImage& image, const QString& path, int quality = 92);
