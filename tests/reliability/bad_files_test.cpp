// Damaged files of an installation: every picture and every wave file cut short, emptied or
// replaced by garbage. Each must be refused with a message that names the file (pictures) or
// load as no sample (waves), and never bring the program down.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "device/device_factory.h"
#include "device/view/device_session.h"
#include "device/view/picture_loader.h"
#include "sound/fmod.h"
#include "sound/sound.h"

namespace {

namespace fs = std::filesystem;

enum class Damage { CutShort, Emptied, Garbage };

const char* name(Damage damage)
{
    switch (damage) {
    case Damage::CutShort: return "cut short";
    case Damage::Emptied: return "emptied";
    case Damage::Garbage: return "garbage";
    }
    return "?";
}

std::string contentsOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The file's bytes as the damage leaves them: the first half, nothing, or as many bytes of
// noise as the file had.
std::string damaged(const std::string& bytes, Damage damage)
{
    switch (damage) {
    case Damage::CutShort: return bytes.substr(0, bytes.size() / 2);
    case Damage::Emptied: return {};
    case Damage::Garbage: {
        std::mt19937 noise(uint32_t(bytes.size()));
        std::string garbage(bytes.size(), '\0');
        for (char& c : garbage)
            c = char(noise() & 0xFF);
        return garbage;
    }
    }
    return bytes;
}

// A copy of one file of the installation, damaged; with wholeFolder, in a copy of its folder.
class DamagedCopy {
public:
    DamagedCopy(const fs::path& from, const std::string& file, Damage damage, bool wholeFolder = false)
    {
        if (wholeFolder)
            for (const fs::directory_entry& entry : fs::directory_iterator(from))
                fs::copy_file(entry.path(), folder() / entry.path().filename());
        std::ofstream(folder() / file, std::ios::binary | std::ios::trunc) << damaged(contentsOf(from / file), damage);
    }
    fs::path folder() const { return fs::path(dir_.path().toStdString()); }

private:
    QTemporaryDir dir_;
};

std::vector<std::string> filesIn(const fs::path& folder, const std::string& extension)
{
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension)
            files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

const fs::path pictureFolder = fs::path(ZERNO_ASSET_DIR) / "pictures";
const fs::path soundFolder = ZERNO_SOUND_DIR;
constexpr Damage everyDamage[] = {Damage::CutShort, Damage::Emptied, Damage::Garbage};

TEST(BadPictures, EachDamagedPictureIsRefusedWithTheFileNamed)
{
    std::vector<std::string> pictures = filesIn(pictureFolder, ".jpg");
    const std::vector<std::string> png = filesIn(pictureFolder, ".png");
    pictures.insert(pictures.end(), png.begin(), png.end());
    ASSERT_GT(pictures.size(), 50u);
    for (const std::string& picture : pictures)
        for (Damage damage : everyDamage) {
            SCOPED_TRACE(picture + " " + name(damage));
            const DamagedCopy copy(pictureFolder, picture, damage);
            const QString path = QString::fromStdString((copy.folder() / picture).string());
            const Expected<QImage> image = loadPicture(path);
            ASSERT_FALSE(image);
            const QString error = QString::fromStdString(image.error());
            EXPECT_TRUE(error.startsWith(path + QStringLiteral(": "))) << image.error();
            EXPECT_GT(error.size(), path.size() + 2) << "no reason given";
        }
}

TEST(BadPictures, TheUndamagedPicturesAllLoad)
{
    for (const std::string& picture : filesIn(pictureFolder, ".jpg")) {
        const Expected<QImage> image = loadPicture(QString::fromStdString((pictureFolder / picture).string()));
        ASSERT_TRUE(image) << picture << ": " << image.error();
        EXPECT_EQ(image->format(), QImage::Format_RGB32) << picture;
        // Opaque through and through: the window paints these without blending.
        EXPECT_EQ(qAlpha(image->pixel(image->width() / 2, image->height() / 2)), 255) << picture;
    }
}

// The device window as program start builds it, on a picture folder with one damaged file.
class DeviceWindowStart : public testing::Test {
protected:
    Expected<void> attach(const fs::path& pictures)
    {
        Expected<DeviceFactory> device = DeviceFactory::fromFile(std::string(ZERNO_ASSET_DIR) + "/device.layout");
        EXPECT_TRUE(device) << device.error();
        DeviceSession session;
        session.make(*device, {&sound_, &keys_, &keys_, &clock_});
        return session.view->loadPictures(QString::fromStdString(pictures.string()));
    }

private:
    class Silent : public SoundPort {
        void Suona(Sample) override {}
        void Silenzio() override {}
    } sound_;
    class NoSettings : public StoreKey {
        int ReadInteger(const std::string&, int defaultValue) override { return defaultValue; }
        void WriteInteger(const std::string&, int) override {}
    } keys_;
    class Noon : public ClockPort {
        TimeOfDay localTime() override { return {12, 0, 0, 0}; }
        TimeOfDay utcTime() override { return {12, 0, 0, 0}; }
    } clock_;
};

TEST_F(DeviceWindowStart, StopsOnADamagedPictureAndNamesIt)
{
    const Expected<void> undamaged = attach(pictureFolder);
    ASSERT_TRUE(undamaged) << undamaged.error();
    for (const char* picture : {"Im_Base.jpg", "Im_Front.jpg", "Im_Folko1.png", "Im_Num7.png"})
        for (Damage damage : everyDamage) {
            SCOPED_TRACE(std::string(picture) + " " + name(damage));
            const DamagedCopy copy(pictureFolder, picture, damage, true);
            const Expected<void> started = attach(copy.folder());
            EXPECT_FALSE(started);
            EXPECT_NE(started.error().find(picture), std::string::npos) << started.error();
        }
}

TEST(BadWaves, EachDamagedWaveLoadsAsNoSample)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    ASSERT_EQ(FSOUND_Init(22050, 64, 0), 1);
    const std::vector<std::string> waves = filesIn(soundFolder, ".wav");
    ASSERT_EQ(waves.size(), 5u);
    for (const std::string& wave : waves) {
        const int good = FSOUND_Sample_Load(-1, (soundFolder / wave).c_str(), 0x2000, 0);
        EXPECT_NE(good, 0) << wave;
        FSOUND_Sample_Free(good);
        for (Damage damage : everyDamage) {
            SCOPED_TRACE(wave + " " + name(damage));
            const DamagedCopy copy(soundFolder, wave, damage);
            const int handle = FSOUND_Sample_Load(-1, (copy.folder() / wave).c_str(), 0x2000, 0);
            EXPECT_EQ(handle, 0);
            EXPECT_EQ(FSOUND_PlaySound(-1, handle), -1);
            FSOUND_Sample_Free(handle);
        }
    }
    FSOUND_Close();
}

TEST(BadWaves, ADamagedPackWavFailsTheSoundStartAndAnyOtherOnlySilencesItsSoundEachNamed)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    for (const std::string& wave : filesIn(soundFolder, ".wav"))
        for (Damage damage : everyDamage) {
            SCOPED_TRACE(wave + " " + name(damage));
            const DamagedCopy copy(soundFolder, wave, damage, true);
            Sound sound;
            EXPECT_EQ(sound.startSound(1, copy.folder().string()), wave != "Pack.wav");
            // Named once, with a reason, whether it stops the start or only silences its sound.
            ASSERT_EQ(sound.unreadableFiles.size(), 1u);
            const std::string named = (copy.folder() / wave).string() + ": ";
            EXPECT_EQ(sound.unreadableFiles[0].rfind(named, 0), 0u) << sound.unreadableFiles[0];
            EXPECT_GT(sound.unreadableFiles[0].size(), named.size()) << "no reason given";
            sound.SoundOn = true;
            for (Sample sample : {Sample::SndPack, Sample::SndPoint, Sample::SndBonus, Sample::SndChar,
                                  Sample::SndMiss, Sample::SndMiss2})
                sound.Suona(sample);
            sound.Silenzio();
            sound.release();
        }
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
