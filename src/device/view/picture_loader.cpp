#include "picture_loader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <memory>
#include <sys/mman.h>
#include <turbojpeg.h>

namespace {

// A picture this big (the open device's body, the cover) gets pages of its own, which go back to
// the system the moment the picture is let go. From the malloc heap they would mostly stay with
// the process: a freed block amid others cannot be returned.
constexpr qsizetype ownPagesBytes = 256 * 1024;

struct OwnPages {
    void* start;
    size_t bytes;
};

QImage newPicture(int width, int height)
{
    const qsizetype bytes = qsizetype(width) * height * 4;
    if (bytes < ownPagesBytes)
        return QImage(width, height, QImage::Format_ARGB32);
    void* start = mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        return QImage();
    auto* pages = new OwnPages{start, size_t(bytes)};
    const auto release = [](void* info) {
        auto* pages = static_cast<OwnPages*>(info);
        munmap(pages->start, pages->bytes);
        delete pages;
    };
    return QImage(static_cast<uchar*>(start), width, height, width * 4, QImage::Format_ARGB32, release, pages);
}

}  // namespace

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
    // Decoded straight into the 32-bit layout the window paints from, so the picture is held
    // once and painted without conversion: the decoder sets every alpha byte to 0xFF, which
    // makes it a valid opaque RGB32 image.
    QImage image = newPicture(width, height);
    if (image.isNull())
        return fail(QStringLiteral("no memory for a picture of %1 x %2").arg(width).arg(height));
    const int pixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB;
    // A warning counts as damage too: a file cut short decodes with grey where its end was.
    if (tjDecompress2(decoder.get(), bytes, static_cast<unsigned long>(data.size()), image.bits(), width,
                      static_cast<int>(image.bytesPerLine()), height, pixelFormat, TJFLAG_ACCURATEDCT) != 0)
        return fail(QStringLiteral("the JPEG data is damaged (%1)").arg(QString::fromUtf8(tjGetErrorStr2(decoder.get()))));
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

QImage darkPixelsOnly(const QImage& picture)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qGray(line[x]) >= 128)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

QImage loadPicture(const QString& path, QString* error)
{
    if (QFileInfo(path).suffix().compare(QStringLiteral("jpg"), Qt::CaseInsensitive) == 0)
        return loadJpeg(path, error);
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1: the file is missing").arg(path);
        return QImage();
    }
    // Read as what its name says it is: guessing the format would load every image plugin Qt
    // has, which costs start-up time and memory, for pictures that are all PNGs.
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = QStringLiteral("%1: not a readable picture (%2)").arg(path, reader.errorString());
    return image;
}
