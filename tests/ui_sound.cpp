// The game's sounds: where the game finds them, silence, never a crash,
// without the wave files or a sound server; what is read from a wave file;
// and the wave files the build places beside the game.
#include "ui/pulsesound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

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
TEST(PulseSound, FindsSoundBesideTheGameFirstThenInTheInstalledLayout) {
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
TEST(PulseSound, FindsTheBuildsOwnSoundsBesideTheGame) {
    const QString game = QCoreApplication::applicationDirPath() + "/..";
    for (const char* name : {"fire.wav", "explode.wav"})
        EXPECT_EQ(findsound(game, name).toStdString(),
                  QFileInfo(game + "/" + name).absoluteFilePath().toStdString());
}

// No files, or the files and no server: silence, and the game goes on. The
// last row goes before its connection attempt has been answered.
TEST(PulseSound, WithoutFilesOrServerPlaysSilently) {
    const QByteArray server = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/ordnix-test/native");
    const QString game = QCoreApplication::applicationDirPath() + "/..";
    QTemporaryDir empty;
    const struct {
        QString folder;
        bool wait; // for the connection attempt to fail
    } rows[] = {{empty.path(), true}, {game, true}, {game, false}};
    for (const auto& row : rows) {
        PulseSound sound(row.folder);
        for (SoundId id : {SoundId::Fire, SoundId::Explode, SoundId::Fire})
            sound.play(id);
        if (!row.wait)
            continue;
        QThread::msleep(100);
        sound.play(SoundId::Explode);
        EXPECT_FALSE(sound.ready(SoundId::Fire) || sound.ready(SoundId::Explode))
            << row.folder.toStdString();
    }
    if (server.isNull())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", server);
}

// What the server is given from a wave file: the format chunk's rate and
// channels, and the data chunk's whole frames.
TEST(PulseSound, ReadsSixteenBitPcmWavesOnly) {
    const auto chunk = [](const char* id, const QByteArray& body) {
        QByteArray b(id, 4);
        for (int i = 0; i < 4; ++i)
            b += char(body.size() >> (8 * i) & 0xff);
        return b + body;
    };
    const auto format = [](int tag, int channels, int rate, int bits) {
        QByteArray b;
        for (auto [value, bytes] : {std::pair{tag, 2},
                                    {channels, 2},
                                    {rate, 4},
                                    {rate * channels * bits / 8, 4},
                                    {channels * bits / 8, 2},
                                    {bits, 2}})
            for (int i = 0; i < bytes; ++i)
                b += char(value >> (8 * i) & 0xff);
        return b;
    };
    const auto wave = [](const QByteArray& chunks) {
        return QByteArray("RIFF\0\0\0\0WAVE", 12) + chunks;
    };
    const QByteArray mono = format(1, 1, 22050, 16);
    const QByteArray samples("\x01\x02\x03\x04\x05\x06", 6);
    QByteArray cut = wave(chunk("fmt ", mono) + chunk("data", samples));
    cut.chop(1); // the data chunk claims a byte more than there is
    struct Row {
        const char* name;
        QByteArray bytes;
        int rate = 0; // 0: nothing is read
        int channels = 0;
        QByteArray samples = {};
    };
    const Row rows[] = {
        {"mono, as the game makes them", wave(chunk("fmt ", mono) + chunk("data", samples)), 22050,
         1, samples},
        {"stereo", wave(chunk("fmt ", format(1, 2, 44100, 16)) + chunk("data", samples)), 44100, 2,
         samples.first(4)},
        {"an odd chunk between, padded",
         wave(chunk("fmt ", mono) + chunk("LIST", "abc") + QByteArray(1, 0) +
              chunk("data", samples)),
         22050, 1, samples},
        {"data cut short: whole frames", cut, 22050, 1, samples.first(4)},
        {"data before the format", wave(chunk("data", samples) + chunk("fmt ", mono))},
        {"no data", wave(chunk("fmt ", mono))},
        {"empty data", wave(chunk("fmt ", mono) + chunk("data", ""))},
        {"8 bits", wave(chunk("fmt ", format(1, 1, 22050, 8)) + chunk("data", samples))},
        {"floating point", wave(chunk("fmt ", format(3, 1, 22050, 16)) + chunk("data", samples))},
        {"no channels", wave(chunk("fmt ", format(1, 0, 22050, 16)) + chunk("data", samples))},
        {"format chunk cut short", wave(chunk("fmt ", mono.first(12)) + chunk("data", samples))},
        {"not RIFF", "RIFX" + wave(chunk("fmt ", mono) + chunk("data", samples)).sliced(4)},
        {"too short", "RIFF"},
    };
    for (const Row& row : rows) {
        const std::optional<Wave> read = readwave(row.bytes);
        ASSERT_EQ(read.has_value(), row.rate != 0) << row.name;
        if (read) {
            EXPECT_EQ(std::tuple(read->rate, read->channels, read->samples),
                      std::tuple(row.rate, row.channels, row.samples))
                << row.name;
        }
    }
}

// RIFF/WAVE, PCM, 16 bits a sample, the data chunk running to the end.
TEST(PulseSound, BothWaveFilesAre16BitPcm) {
    for (const char* name : {"fire.wav", "explode.wav"}) {
        QFile f(QCoreApplication::applicationDirPath() + "/../" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray b = f.readAll().leftJustified(44, 0); // a short file fails below
        auto le = [&](int at) { return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8; };
        EXPECT_EQ(std::tuple(b.mid(0, 4) + b.mid(8, 4) + b.mid(36, 4), le(20), le(34),
                             le(40) | le(42) << 16),
                  std::tuple("RIFFWAVEdata", 1, 16, b.size() - 44))
            << name;
        const std::optional<Wave> read = readwave(b);
        EXPECT_TRUE(read && read->samples.size() == b.size() - 44) << name;
    }
}
