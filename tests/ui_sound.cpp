// The game's sounds: where the game finds them, silence, never a crash,
// without the wave files or a sound server; what is read from a wave file;
// and the wave files the build places beside the game; what goes over the
// wire to a sound server, and what a fake server hears from the game.
#include "ui/pulsesound.h"
#include "ui/pulsewire.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <map>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

namespace {

// Sets an environment variable (null: unsets it) for its lifetime.
struct Env {
    Env(const char* name, const char* value) : name(name), old(qgetenv(name)) {
        value ? qputenv(name, value) : qunsetenv(name);
    }
    ~Env() { old.isNull() ? qunsetenv(name) : qputenv(name, old); }
    const char* name;
    QByteArray old;
};

} // namespace

// Where the game looks for the server: $PULSE_SERVER's first unix socket
// (silence for only network servers), else the user's, then the system's.
TEST(PulseSound, FindsTheServersSocket) {
    const struct {
        const char* server;
        const char* runtime;
        std::vector<QByteArray> want;
    } rows[] = {
        {nullptr, "/run/user/7", {"/run/user/7/pulse/native", "/run/pulse/native"}},
        {nullptr, nullptr, {"/run/pulse/native"}},
        {"unix:/a/native", "/run/user/7", {"/a/native"}},
        {"/a/native", nullptr, {"/a/native"}},
        {"tcp:host:4713  {3f}unix:/b/native unix:/c", nullptr, {"/b/native"}},
        {"tcp:localhost", "/run/user/7", {}},
    };
    for (const auto& row : rows) {
        Env server("PULSE_SERVER", row.server), runtime("XDG_RUNTIME_DIR", row.runtime);
        EXPECT_EQ(soundservers(), row.want) << (row.server ? row.server : "unset");
    }
}

// Byte for byte what the servers read: a mistake here is a stream refused.
TEST(PulseSound, WireEncodings) {
    using namespace pulsewire;
    const struct {
        const char* name;
        QByteArray got, want;
    } rows[] = {
        {"u32, big-endian", Tags().u32(0x01020304).bytes(), QByteArray("L\1\2\3\4", 5)},
        {"string with its zero", Tags().string("ab").bytes(), QByteArray("tab\0", 4)},
        {"no string", Tags().string(nullptr).bytes(), "N"},
        {"sample format", Tags().samplespec(kSampleS16LE, 1, 22050).bytes(),
         QByteArray("a\3\1\0\0\x56\x22", 7)},
        {"stereo map", Tags().channelmap(2).bytes(), QByteArray("m\2\1\2", 4)},
        {"volume", Tags().cvolume(1, kNormVolume).bytes(), QByteArray("v\1\0\1\0\0", 6)},
        {"properties", Tags().proplist({{"k", "v"}}).bytes(),
         QByteArray("Ptk\0L\0\0\0\2x\0\0\0\2v\0N", 17)},
        {"packet header", packet(7, "ab"),
         QByteArray("\0\0\0\2\0\0\0\7\0\0\0\0\0\0\0\0\0\0\0\0ab", 22)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.got.toHex(' ').toStdString(), row.want.toHex(' ').toStdString()) << row.name;
    // A value cut short is no value.
    Reader cut(QByteArray("L\0\0", 3));
    EXPECT_FALSE(cut.u32() || cut.ok());
}

namespace {

// A sound server in a temporary folder that speaks just enough of the
// protocol and keeps what the game sent.
struct FakeServer {
    FakeServer(uint32_t version, bool refuse) : version(version), refuse(refuse) {
        const QByteArray path = QFile::encodeName(dir.filePath("native"));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        memcpy(address.sun_path, path.constData(), path.size());
        listener = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        const int on = 1;
        setsockopt(listener, SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener, 1);
        env = std::make_unique<Env>("PULSE_SERVER", "unix:" + path);
    }
    ~FakeServer() {
        for (int fd : {client, listener})
            if (fd >= 0)
                close(fd);
    }
    void reply(uint32_t command, uint32_t tag, const pulsewire::Tags& values = {}) {
        const QByteArray bytes = pulsewire::command(pulsewire::Command(command), tag, values);
        ASSERT_EQ(write(client, bytes.constData(), bytes.size()), bytes.size());
    }
    // Takes what has come; false once the game has closed its socket.
    bool step() {
        if (client < 0 && (client = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK)) < 0)
            return true;
        char buffer[65536];
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
        iovec io{buffer, sizeof buffer};
        msghdr message{};
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t got = recvmsg(client, &message, 0);
        if (got == 0)
            return false;
        if (got < 0)
            return true;
        if (cmsghdr* c = CMSG_FIRSTHDR(&message); c && c->cmsg_type == SCM_CREDENTIALS)
            credentials = reinterpret_cast<ucred*>(CMSG_DATA(c))->uid == getuid();
        in.append(buffer, got);
        while (in.size() >= 20 && in.size() - 20 >= pulsewire::headerword(in, pulsewire::Length)) {
            const uint32_t channel = pulsewire::headerword(in, pulsewire::Channel);
            const QByteArray body = in.sliced(20, pulsewire::headerword(in, pulsewire::Length));
            in.remove(0, 20 + body.size());
            if (channel != pulsewire::kCommandChannel) {
                samples[channel] += body;
                continue;
            }
            pulsewire::Reader r(body);
            const uint32_t command = *r.u32(), tag = *r.u32();
            if (command == pulsewire::Auth)
                reply(pulsewire::Reply, tag, pulsewire::Tags().u32(version));
            else if (command == pulsewire::SetClientName)
                reply(pulsewire::Reply, tag, pulsewire::Tags().u32(1));
            else if (command == pulsewire::DeletePlaybackStream)
                deleted.push_back(*r.u32());
            else if (command == pulsewire::CreatePlaybackStream) {
                // The fields' letters, and the format, tlength and prebuf.
                std::string letters;
                QByteArray format;
                std::vector<uint32_t> words;
                while (const std::optional<char> letter = r.skip()) {
                    letters += *letter;
                    if (*letter == 'a')
                        format = r.last();
                    if (*letter == 'L')
                        words.push_back(pulsewire::headerword(r.last(), pulsewire::Length));
                }
                const int channels = format[1], rate = uint8_t(format[4]) << 8 | uint8_t(format[5]);
                streams.push_back({letters, channels, rate, words[2], words[3]});
                if (refuse) {
                    reply(pulsewire::Error, tag, pulsewire::Tags().u32(3));
                    continue;
                }
                reply(pulsewire::Reply, tag,
                      pulsewire::Tags().u32(nextchannel).u32(nextchannel).u32(1764));
                reply(pulsewire::Request, ~0u, pulsewire::Tags().u32(nextchannel).u32(1764));
                ++nextchannel;
            }
        }
        return true;
    }
    struct Stream {
        std::string letters;
        int channels, rate;
        uint32_t tlength, prebuf;
    };
    uint32_t version;
    bool refuse;
    QTemporaryDir dir;
    std::unique_ptr<Env> env;
    int listener = -1, client = -1;
    QByteArray in;
    bool credentials = false;
    uint32_t nextchannel = 0;
    std::vector<Stream> streams; // in the order asked for
    std::vector<uint32_t> deleted;
    std::map<uint32_t, QByteArray> samples; // by channel
};

} // namespace

// The game against servers of several versions: a sound asked for before
// the server answered plays; each sound is a stream of the wave's format
// with exactly the wave's samples, from the first; a new sound cuts the old
// one off. A refused stream is silence.
TEST(PulseSound, PlaysThroughTheServer) {
    const std::string base = "amLNL0LLLLv0000000"
                             "01P";
    const struct {
        uint32_t version;
        bool refuse;
        std::string fields; // what the server reads at that version
    } rows[] = {
        {35, false,
         base + "00"
                "000"
                "0"
                "0"
                "B"},
        {32, false,
         base + "00"
                "000"
                "0"
                "0"
                "B"},
        {16, false,
         base + "00"
                "000"},
        {13, false, base},
        {35, true,
         base + "00000"
                "0"
                "0"
                "B"},
    };
    const QString game = QCoreApplication::applicationDirPath() + "/..";
    QFile fire(game + "/fire.wav"), explode(game + "/explode.wav");
    ASSERT_TRUE(fire.open(QIODevice::ReadOnly) && explode.open(QIODevice::ReadOnly));
    const QByteArray firesamples = readwave(fire.readAll())->samples;
    const QByteArray explodesamples = readwave(explode.readAll())->samples;
    for (const auto& row : rows) {
        const std::string name = std::to_string(row.version) + (row.refuse ? " refusing" : "");
        FakeServer server(row.version, row.refuse);
        auto sound = std::make_unique<PulseSound>(game);
        sound->play(SoundId::Fire); // before the server has answered
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.step() && server.streams.size() == 1; }))
            << name;
        EXPECT_EQ(server.streams[0].letters, row.fields) << name;
        EXPECT_TRUE(server.credentials) << name;
        if (row.refuse) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !sound->ready(SoundId::Fire); })) << name;
            sound->play(SoundId::Explode);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !server.step(); })) << name; // closed
            continue;
        }
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return server.step() && server.samples[0].size() == firesamples.size();
        })) << name;
        EXPECT_TRUE(server.samples[0] == firesamples && sound->ready(SoundId::Explode)) << name;
        const FakeServer::Stream& first = server.streams[0];
        EXPECT_EQ(std::tuple(first.channels, first.rate, first.tlength),
                  std::tuple(1, 22050, 1764u))
            << name;
        EXPECT_TRUE(first.prebuf > 0 && first.prebuf <= first.tlength) << name;
        // Twice at once: the first explosion is cut off before it begins.
        sound->play(SoundId::Explode);
        sound->play(SoundId::Explode);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return server.step() && server.deleted.size() == 2 &&
                   server.samples[2].size() == explodesamples.size();
        })) << name;
        EXPECT_EQ(server.deleted, (std::vector<uint32_t>{0, 1})) << name;
        EXPECT_TRUE(server.samples[2] == explodesamples && !server.samples.contains(1)) << name;
        sound.reset(); // closes at once
        EXPECT_FALSE(server.step()) << name;
    }
}
