// An animated GIF of the device window, written with giflib: one palette of 255 colours taken from
// the first frame, then for each later frame only the rectangle that changed, its unchanged pixels
// see-through, so a minute of play stays small.
#pragma once

#include <QImage>
#include <QString>
#include <unordered_map>
#include <vector>

#include "common/expected.h"

struct GifFileType;

class GifAnimation {
public:
    GifAnimation() = default;
    ~GifAnimation();
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // Starts the file; every frame has this size.
    Expected<void> open(const QString& path, int width, int height);
    // The picture from `ms` on (milliseconds from the start). It is written once the next one
    // comes, with the time between the two as its delay; a picture shown for less than two
    // hundredths is passed over, its time going to the next.
    Expected<void> add(const QImage& picture, int64_t ms);
    // Writes the last picture, shown until endMs and holdMs more, and closes the file.
    Expected<void> finish(int64_t endMs, int64_t holdMs);

    int framesWritten() const { return frames_; }

private:
    Expected<void> write(const QImage& picture, int delayCs);
    std::vector<unsigned char> indexed(const QImage& picture);
    void refinePalette(const std::vector<unsigned char>& red, const std::vector<unsigned char>& green,
                       const std::vector<unsigned char>& blue);
    size_t nearestIndex(QRgb colour) const;
    Failure fail(int code) const;

    GifFileType* file_ = nullptr;
    QString path_;
    int width_ = 0;
    int height_ = 0;
    std::vector<QRgb> palette_;             // 255 colours; index 255 is see-through
    std::unordered_map<QRgb, unsigned char> nearest_;  // each colour met, and its palette index
    std::vector<unsigned char> shown_;      // the indexes on display after the last frame
    QImage pending_;
    int64_t writtenCs_ = 0;                 // hundredths of a second written so far
    int frames_ = 0;
};
