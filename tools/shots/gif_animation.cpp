#include "tools/shots/gif_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int SeeThrough = 255;

}  // namespace

GifAnimation::~GifAnimation()
{
    if (file_)
        EGifCloseFile(file_, nullptr);
}

Failure GifAnimation::fail(int code) const
{
    return failure(path_.toStdString() + ": " + GifErrorString(code));
}

Expected<void> GifAnimation::open(const QString& path, int width, int height)
{
    path_ = path;
    width_ = width;
    height_ = height;
    // Made as any picture file is, readable by others as the umask allows.
    const int handle = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle < 0)
        return failure(path.toStdString() + ": " + std::strerror(errno));
    int code = 0;
    file_ = EGifOpenFileHandle(handle, &code);
    if (!file_) {
        ::close(handle);
        return fail(code);
    }
    EGifSetGifVersion(file_, true);
    return {};
}

Expected<void> GifAnimation::add(const QImage& picture, int64_t ms)
{
    if (!pending_.isNull()) {
        const int64_t endCs = (ms + 5) / 10;
        // Shorter than two hundredths: most viewers would show it for a tenth of a second.
        if (endCs - writtenCs_ >= 2) {
            if (Expected<void> written = write(pending_, int(endCs - writtenCs_)); !written)
                return written;
            writtenCs_ = endCs;
        }
    }
    pending_ = picture.convertToFormat(QImage::Format_RGB32);
    return {};
}

Expected<void> GifAnimation::finish(int64_t endMs, int64_t holdMs)
{
    const int delayCs = int(std::max<int64_t>(2, (endMs + 5) / 10 - writtenCs_ + (holdMs + 5) / 10));
    if (!pending_.isNull())
        if (Expected<void> written = write(pending_, delayCs); !written)
            return written;
    int code = 0;
    const int result = EGifCloseFile(file_, &code);
    file_ = nullptr;
    if (result != GIF_OK)
        return fail(code);
    return {};
}

// The first frame's colours make the palette; every colour takes the nearest of it.
std::vector<unsigned char> GifAnimation::indexed(const QImage& picture)
{
    const size_t count = size_t(width_) * size_t(height_);
    std::vector<unsigned char> red(count), green(count), blue(count), out(count);
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < width_; ++x) {
            const size_t at = size_t(y) * size_t(width_) + size_t(x);
            red[at] = (unsigned char)qRed(line[x]);
            green[at] = (unsigned char)qGreen(line[x]);
            blue[at] = (unsigned char)qBlue(line[x]);
        }
    }
    if (palette_.empty()) {
        int size = SeeThrough;
        std::vector<GifColorType> colours(256);
        GifQuantizeBuffer(unsigned(width_), unsigned(height_), &size, red.data(), green.data(), blue.data(),
                          out.data(), colours.data());
        for (int index = 0; index < size; ++index)
            palette_.push_back(qRgb(colours[size_t(index)].Red, colours[size_t(index)].Green, colours[size_t(index)].Blue));
        palette_.resize(SeeThrough, qRgb(0, 0, 0));
        refinePalette(red, green, blue);
    }
    for (size_t at = 0; at < count; ++at) {
        const QRgb colour = qRgb(red[at], green[at], blue[at]);
        auto found = nearest_.find(colour);
        if (found == nearest_.end())
            found = nearest_.emplace(colour, (unsigned char)nearestIndex(colour)).first;
        out[at] = found->second;
    }
    return out;
}

// The quantizer works on five bits a channel, which bands the body's dark, even greys. A few
// rounds of moving each colour to the mean of the picture's colours nearest to it bring back the
// full eight.
void GifAnimation::refinePalette(const std::vector<unsigned char>& red, const std::vector<unsigned char>& green,
                                 const std::vector<unsigned char>& blue)
{
    std::unordered_map<QRgb, int> counts;
    for (size_t at = 0; at < red.size(); ++at)
        ++counts[qRgb(red[at], green[at], blue[at])];
    for (int round = 0; round < 4; ++round) {
        std::vector<std::array<int64_t, 4>> sums(palette_.size(), {0, 0, 0, 0});
        for (const auto& [colour, count] : counts) {
            const size_t index = nearestIndex(colour);
            sums[index][0] += int64_t(qRed(colour)) * count;
            sums[index][1] += int64_t(qGreen(colour)) * count;
            sums[index][2] += int64_t(qBlue(colour)) * count;
            sums[index][3] += count;
        }
        for (size_t index = 0; index < palette_.size(); ++index)
            if (const int64_t n = sums[index][3])
                palette_[index] = qRgb(int((sums[index][0] + n / 2) / n), int((sums[index][1] + n / 2) / n),
                                       int((sums[index][2] + n / 2) / n));
    }
}

size_t GifAnimation::nearestIndex(QRgb colour) const
{
    size_t best = 0;
    int bestDistance = INT_MAX;
    for (size_t index = 0; index < palette_.size(); ++index) {
        const int dr = qRed(palette_[index]) - qRed(colour), dg = qGreen(palette_[index]) - qGreen(colour),
                  db = qBlue(palette_[index]) - qBlue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance)
            best = index, bestDistance = distance;
    }
    return best;
}

Expected<void> GifAnimation::write(const QImage& picture, int delayCs)
{
    const std::vector<unsigned char> pixels = indexed(picture);
    const bool first = shown_.empty();
    int left = 0, top = 0, right = width_ - 1, bottom = height_ - 1;
    if (first) {
        std::vector<GifColorType> colours(256);
        for (size_t index = 0; index < palette_.size(); ++index)
            colours[index] = {GifByteType(qRed(palette_[index])), GifByteType(qGreen(palette_[index])),
                              GifByteType(qBlue(palette_[index]))};
        ColorMapObject* map = GifMakeMapObject(256, colours.data());
        const int result = EGifPutScreenDesc(file_, width_, height_, 8, 0, map);
        GifFreeMapObject(map);
        if (result != GIF_OK)
            return fail(file_->Error);
        // Played over and over.
        unsigned char loop[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        unsigned char times[] = {1, 0, 0};
        if (EGifPutExtensionLeader(file_, APPLICATION_EXT_FUNC_CODE) != GIF_OK
            || EGifPutExtensionBlock(file_, sizeof loop, loop) != GIF_OK
            || EGifPutExtensionBlock(file_, sizeof times, times) != GIF_OK || EGifPutExtensionTrailer(file_) != GIF_OK)
            return fail(file_->Error);
    } else {
        left = width_, top = height_, right = -1, bottom = -1;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const size_t at = size_t(y) * size_t(width_) + size_t(x);
                if (pixels[at] != shown_[at]) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        if (right < 0)  // nothing changed that the palette shows: a one-pixel frame holds the time
            left = right = top = bottom = 0;
    }
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delayCs, first ? NO_TRANSPARENT_COLOR : SeeThrough};
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(file_, GRAPHICS_EXT_FUNC_CODE, int(length), extension) != GIF_OK)
        return fail(file_->Error);
    const int width = right - left + 1, height = bottom - top + 1;
    if (EGifPutImageDesc(file_, left, top, width, height, false, nullptr) != GIF_OK)
        return fail(file_->Error);
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const size_t at = size_t(y) * size_t(width_) + size_t(x);
            // Pixels the frame leaves as they were let the last frame show through.
            line[size_t(x - left)] = !first && pixels[at] == shown_[at] ? SeeThrough : pixels[at];
        }
        if (EGifPutLine(file_, line.data(), width) != GIF_OK)
            return fail(file_->Error);
    }
    shown_ = pixels;
    ++frames_;
    return {};
}
