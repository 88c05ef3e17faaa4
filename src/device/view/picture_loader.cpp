#include "picture_loader.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <turbojpeg.h>

QImage loadJpeg(const QString& path, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return QImage();
    };
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
    QImage image(width, height, QImage::Format_RGB888);
    if (tjDecompress2(decoder.get(), bytes, static_cast<unsigned long>(data.size()), image.bits(), width,
                      static_cast<int>(image.bytesPerLine()), height, TJPF_RGB, TJFLAG_ACCURATEDCT) != 0
        && tjGetErrorCode(decoder.get()) == TJERR_FATAL)
        return fail(QStringLiteral("the JPEG data is damaged (%1)").arg(QString::fromUtf8(tjGetErrorStr2(decoder.get()))));
    return image;
}

QImage loadPicture(const QString& path, QString* error)
{
    if (QFileInfo(path).suffix().compare(QStringLiteral("jpg"), Qt::CaseInsensitive) == 0)
        return loadJpeg(path, error);
    QImage image;
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1: the file is missing").arg(path);
        return image;
    }
    if (!image.load(path)) {
        if (error)
            *error = QStringLiteral("%1: not a readable picture").arg(path);
    }
    return image;
}
