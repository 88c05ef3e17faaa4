#include "tools/artgen/jpeg_writer.h"

#include <QFile>

#include <turbojpeg.h>

QByteArray encodeJpeg(const QImage& image, int quality)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    tjhandle handle = tjInitCompress();
    if (!handle)
        return QByteArray();
    unsigned char* data = nullptr;
    unsigned long size = 0;
    // Full-resolution colour (4:4:4): the buttons are only 15 pixels wide and the glass must
    // keep its exact tint next to the printed belts.
    QByteArray result;
    if (tjCompress2(handle, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_RGB, &data, &size,
                    TJSAMP_444, quality, TJFLAG_ACCURATEDCT) == 0)
        result = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    tjFree(data);
    tjDestroy(handle);
    return result;
}

Expected<void> writeJpeg(const QImage& image, const QString& path, int quality)
{
    const QByteArray data = encodeJpeg(image, quality);
    if (data.isEmpty())
        return failure(path.toStdString() + ": the JPEG encoder failed");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return failure(path.toStdString() + ": cannot be written");
    return {};
}
