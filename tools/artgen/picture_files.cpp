#include "tools/artgen/picture_files.h"

#include <QFile>

#include <turbojpeg.h>

Expected<void> writeJpeg(const QImage& image, const QString& path, int quality)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    // Full-resolution colour (4:4:4): the buttons are only 15 pixels wide and the glass must
    // keep its exact tint next to the printed belts.
    tjhandle handle = tjInitCompress();
    QByteArray jpeg;
    if (handle && tjCompress2(handle, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_RGB, &data,
                              &size, TJSAMP_444, quality, TJFLAG_ACCURATEDCT) == 0)
        jpeg = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    tjFree(data);
    if (handle)
        tjDestroy(handle);
    if (jpeg.isEmpty())
        return failure(path.toStdString() + ": the JPEG encoder failed");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
        return failure(path.toStdString() + ": cannot be written");
    return {};
}

Expected<void> savePng(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG"))
        return failure(path.toStdString() + ": cannot be written");
    return {};
}
