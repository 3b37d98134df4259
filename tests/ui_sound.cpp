// The game's sounds: silence, never a crash, without the wave files; and the
// wave files the build places beside the game.
#include "ui/qtsound.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ordnix;

TEST(QtSound, MissingFilesPlaySilently) {
    QTemporaryDir empty;
    QtSound sound(empty.path());
    for (SoundId id : {SoundId::Fire, SoundId::Explode, SoundId::Fire})
        sound.play(id);
    EXPECT_FALSE(sound.ready(SoundId::Fire) || sound.ready(SoundId::Explode));
}

// RIFF/WAVE, PCM, 16 bits a sample, the data chunk running to the end.
TEST(QtSound, BothWaveFilesAre16BitPcm) {
    for (const char* name : {"fire.wav", "explode.wav"}) {
        QFile f(QCoreApplication::applicationDirPath() + "/../" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray b = f.readAll().leftJustified(44, 0); // a short file fails below
        auto le = [&](int at) { return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8; };
        EXPECT_EQ(std::tuple(b.mid(0, 4) + b.mid(8, 4) + b.mid(36, 4), le(20), le(34),
                             le(40) | le(42) << 16),
                  std::tuple("RIFFWAVEdata", 1, 16, b.size() - 44))
            << name;
    }
}
