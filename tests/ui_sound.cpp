// The game's sounds: where the game finds them, silence, never a crash,
// without the wave files; and the wave files the build places beside the game.
#include "ui/qtsound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <string>

#include <gtest/gtest.h>

using namespace ordnix;

namespace {

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

} // namespace

// A tree like an install under some prefix: the game in bin/, the sounds
// in share/ordnix/. Each row puts fire.wav in some of the places.
TEST(QtSound, FindsSoundBesideTheGameFirstThenInTheInstalledLayout) {
    enum Where { Nowhere, Beside, Installed };
    struct Row {
        const char* name;
        bool beside = false;
        bool installed = false;
        bool besideisfolder = false; // a folder named fire.wav is no sound
        Where found = Nowhere;
    };
    const Row rows[] = {
        {.name = "build tree", .beside = true, .found = Beside},
        {.name = "installed", .installed = true, .found = Installed},
        {.name = "both: the build tree wins", .beside = true, .installed = true, .found = Beside},
        {.name = "neither: silence", .found = Nowhere},
        {.name = "folder beside", .installed = true, .besideisfolder = true, .found = Installed},
    };
    for (const Row& row : rows) {
        QTemporaryDir prefix; // a fresh, arbitrary place: the install is relocatable
        ASSERT_TRUE(prefix.isValid());
        const QDir root(prefix.path());
        ASSERT_TRUE(root.mkpath("bin") && root.mkpath("share/ordnix"));
        const QString beside = root.filePath("bin/fire.wav");
        const QString installed = root.filePath("share/ordnix/fire.wav");
        if (row.beside)
            touch(beside);
        if (row.besideisfolder) {
            ASSERT_TRUE(root.mkpath("bin/fire.wav"));
        }
        if (row.installed)
            touch(installed);

        const QString want = row.found == Beside      ? QFileInfo(beside).absoluteFilePath()
                             : row.found == Installed ? QFileInfo(installed).absoluteFilePath()
                                                      : QString();
        EXPECT_EQ(findsound(root.filePath("bin"), "fire.wav").toStdString(), want.toStdString())
            << row.name;
        EXPECT_TRUE(findsound(root.filePath("bin"), "explode.wav").isEmpty()) << row.name;
    }
}

// The build tree: the game's folder (one above the tests) has both files.
TEST(QtSound, FindsTheBuildsOwnSoundsBesideTheGame) {
    const QString game = QCoreApplication::applicationDirPath() + "/..";
    for (const char* name : {"fire.wav", "explode.wav"})
        EXPECT_EQ(findsound(game, name).toStdString(),
                  QFileInfo(game + "/" + name).absoluteFilePath().toStdString());
}

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
