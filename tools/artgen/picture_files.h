// The picture files artgen writes: JPEG through libjpeg-turbo, which the program's own loader
// reads back, and PNG through Qt. What went wrong names the file.
#pragma once

#include <QImage>
#include <QString>

#include "common/expected.h"

Expected<void> writeJpeg(const QImage& image, const QString& path, int quality = 92);
Expected<void> savePng(const QImage& image, const QString& path);
