// The two wave files the build places beside the game, and playing them:
// well-formed 16-bit PCM of the right length, and silence (never a crash)
// when the files or the audio device are missing.

#include "ui/qtsound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>

using namespace ordnix;

namespace {

// The build folder: the tests run from its tests/ subfolder.
QString buildfolder() {
    return QDir(QCoreApplication::applicationDirPath() + "/..").absolutePath();
}

uint32_t le16(const QByteArray& b, int at) {
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8;
}

uint32_t le32(const QByteArray& b, int at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

struct WaveCase {
    const char* name;
    const char* file;
    double seconds;
};

void PrintTo(const WaveCase& c, std::ostream* os) {
    *os << c.file;
}

class WaveFile : public ::testing::TestWithParam<WaveCase> {};

TEST_P(WaveFile, IsShortMonoPcmAt22050HzWithCorrectSizes) {
    QFile f(buildfolder() + "/" + GetParam().file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
    const QByteArray b = f.readAll();
    ASSERT_GE(b.size(), 44);
    EXPECT_EQ(b.mid(0, 4), "RIFF");
    EXPECT_EQ(le32(b, 4), uint32_t(b.size() - 8));
    EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(b, 16), 16u); // format block size
    EXPECT_EQ(le16(b, 20), 1u);  // PCM
    EXPECT_EQ(le16(b, 22), 1u);  // mono
    EXPECT_EQ(le32(b, 24), 22050u);
    EXPECT_EQ(le32(b, 28), 44100u); // bytes per second
    EXPECT_EQ(le16(b, 32), 2u);     // bytes per frame
    EXPECT_EQ(le16(b, 34), 16u);
    EXPECT_EQ(b.mid(36, 4), "data");
    const uint32_t datasize = le32(b, 40);
    ASSERT_EQ(datasize, uint32_t(b.size() - 44));
    EXPECT_NEAR(datasize / 2 / 22050.0, GetParam().seconds, 0.01);

    // Audible but not clipped, and starting and ending at rest (no click).
    int peak = 0;
    for (int at = 44; at < b.size(); at += 2)
        peak = std::max(peak, std::abs(int(int16_t(le16(b, at)))));
    EXPECT_GT(peak, 16000);
    EXPECT_LT(peak, 32767);
    EXPECT_EQ(int16_t(le16(b, 44)), 0);
    EXPECT_EQ(int16_t(le16(b, b.size() - 2)), 0);
}

INSTANTIATE_TEST_SUITE_P(BesideTheGame, WaveFile,
                         ::testing::Values(WaveCase{"fire", "fire.wav", 0.25},
                                           WaveCase{"explode", "explode.wav", 0.8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QtSound, MissingFilesPlaySilently) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    QtSound sound(empty.path());
    for (SoundId id : {SoundId::Fire, SoundId::Explode, SoundId::Fire, SoundId::Fire})
        sound.play(id);
    EXPECT_FALSE(sound.ready(SoundId::Fire));
    EXPECT_FALSE(sound.ready(SoundId::Explode));
}

TEST(QtSound, BuiltFilesLoadAndPlayOneAfterTheOther) {
    if (QMediaDevices::audioOutputs().isEmpty())
        GTEST_SKIP() << "no audio output device";
    QtSound sound(buildfolder());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return sound.ready(SoundId::Fire) && sound.ready(SoundId::Explode); }));
    sound.play(SoundId::Fire);
    sound.play(SoundId::Explode);
    sound.play(SoundId::Explode);
    QTest::qWait(50);
}

} // namespace
