#include "jpeg_writer.h"

#include <QFile>

#include <turbojpeg.h>

QString writeJpeg(const QImage& image, const QString& path, int quality)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    tjhandle handle = tjInitCompress();
    if (!handle)
        return path + QStringLiteral(": the JPEG encoder did not start");
    unsigned char* data = nullptr;
    unsigned long size = 0;
    // Full-resolution colour (4:4:4): the buttons are only 15 pixels wide and the glass must
    // keep its exact tint next to the printed belts.
    const int status = tjCompress2(handle, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(),
                                   TJPF_RGB, &data, &size, TJSAMP_444, quality, TJFLAG_ACCURATEDCT);
    QString error;
    if (status != 0) {
        error = path + QStringLiteral(": ") + QString::fromUtf8(tjGetErrorStr2(handle));
    } else {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            error = path + QStringLiteral(": cannot be written");
    }
    tjFree(data);
    tjDestroy(handle);
    return error;
}
