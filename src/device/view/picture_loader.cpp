#include "device/view/picture_loader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <memory>
#include <turbojpeg.h>

namespace {

Failure failure(const QString& path, const QString& why)
{
    return ::failure(QStringLiteral("%1: %2").arg(path, why).toStdString());
}

}  // namespace

Expected<QImage> loadJpeg(const QString& path)
{
    auto fail = [&](const QString& why) { return failure(path, why); };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // The device's largest picture is a few hundred kilobytes; anything far larger is not ours.
    if (file.size() > 16 * 1024 * 1024)
        return fail(QStringLiteral("too large for a picture"));
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return fail(QStringLiteral("the file is empty"));

    std::unique_ptr<void, int (*)(tjhandle)> decoder(tjInitDecompress(), tjDestroy);
    if (!decoder)
        return fail(QStringLiteral("the JPEG decoder could not start"));
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    if (tjDecompressHeader3(decoder.get(), bytes, static_cast<unsigned long>(data.size()), &width, &height,
                            &subsampling, &colorspace) != 0)
        return fail(QStringLiteral("not a readable JPEG picture (%1)").arg(QString::fromUtf8(tjGetErrorStr2(decoder.get()))));
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192)
        return fail(QStringLiteral("unreasonable picture size %1 x %2").arg(width).arg(height));
    // Decoded straight into the 32-bit layout the window paints from, so the picture is held
    // once and painted without conversion: the decoder sets every alpha byte to 0xFF, as RGB32
    // wants.
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return fail(QStringLiteral("no memory for a picture of %1 x %2").arg(width).arg(height));
    const int pixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB;
    // A warning counts as damage too: a file cut short decodes with grey where its end was.
    if (tjDecompress2(decoder.get(), bytes, static_cast<unsigned long>(data.size()), image.bits(), width,
                      static_cast<int>(image.bytesPerLine()), height, pixelFormat, TJFLAG_ACCURATEDCT) != 0)
        return fail(QStringLiteral("the JPEG data is damaged (%1)").arg(QString::fromUtf8(tjGetErrorStr2(decoder.get()))));
    return image;
}

QImage darkPixelsOnly(const QImage& picture)
{
    QList<QRgb> colours = picture.colorTable();
    for (QRgb& colour : colours)
        if (qGray(colour) >= 128)
            colour = qRgba(0, 0, 0, 0);
    QImage image = picture;
    image.setColorTable(colours);
    return image.convertToFormat(QImage::Format_ARGB32);
}

Expected<QImage> loadPicture(const QString& path)
{
    if (QFileInfo(path).suffix().compare(QStringLiteral("jpg"), Qt::CaseInsensitive) == 0)
        return loadJpeg(path);
    if (!QFileInfo::exists(path))
        return failure(path, QStringLiteral("the file is missing"));
    // Read as what its name says it is: guessing the format would load every image plugin Qt
    // has, which costs start-up time and memory, for pictures that are all PNGs.
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull())
        return failure(path, QStringLiteral("not a readable picture (%1)").arg(reader.errorString()));
    return image;
}
