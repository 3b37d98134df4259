#pragma once
// The game's sound: fire.wav and explode.wav, found by findsound(), played
// through the desktop's sound server (PulseAudio, or PipeWire's PulseAudio
// service). Without the files or a server it stays silent.
//
// The game talks to the server itself, over its unix socket, from the event
// loop: play() only queues bytes and never waits for the server. The game
// only ever plays two short 16-bit PCM files that it made itself, so a small
// client of the server's protocol is all it needs, without the weight of a
// general client library and its thread.

#include "game/ports.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

namespace ordnix {

// Where the installed sounds lie, seen from the executable's folder: the
// install puts the game in <prefix>/bin (<prefix>/games in the Debian
// package) and the sounds in <prefix>/share/ordnix.
inline constexpr const char* kInstalledSoundDir = "../share/ordnix";

// The path of the wave file `name` for a game whose executable lies in
// `exedir`: beside the executable first (the build tree), otherwise in the
// installed layout relative to it, so a moved install keeps its sound.
// Empty when neither has the file.
QString findsound(const QString& exedir, const QString& name);

// The samples of a RIFF/WAVE file in 16-bit PCM.
struct Wave {
    int rate = 0;
    int channels = 0;
    QByteArray samples; // 16-bit little-endian, the channels interleaved
};

// Where the sound server listens, from $PULSE_SERVER when it is set (its
// first unix socket; none when it names only other kinds), else the user's
// server in $XDG_RUNTIME_DIR, then the system-wide one, in the order to try.
std::vector<QByteArray> soundservers();

// The wave in `bytes`: its format chunk must say PCM with 16 bits a sample.
// A data chunk that claims more than the file holds keeps the whole frames
// that are there. Nothing for anything else, or when no samples are left.
std::optional<Wave> readwave(const QByteArray& bytes);

class PulseSound final : public Sound {
  public:
    // `folder` holds the wave files; empty means findsound() from the
    // executable's folder (needs a QCoreApplication).
    explicit PulseSound(const QString& folder = QString());
    ~PulseSound() override;
    PulseSound(const PulseSound&) = delete;
    PulseSound& operator=(const PulseSound&) = delete;

    // Starts the sound at once; a sound still playing, itself included, is
    // cut off. A sound asked for before the server has answered (just after
    // the start) plays as soon as it has.
    void play(SoundId id) override;

    // True once the sound for `id` can be played: its file was read and the
    // server has answered. Always false without a server.
    bool ready(SoundId id) const;

  private:
    bool connectserver();
    void send(const QByteArray& packet);
    void flush();
    void receive();
    void handle(uint32_t command, uint32_t tag, const QByteArray& body);
    void open(int voice);
    void fail();

    std::array<Wave, 2> waves_; // fire, explode
    int socket_ = -1;           // none: silence
    std::unique_ptr<QSocketNotifier> readable_;
    std::unique_ptr<QSocketNotifier> writable_;
    QByteArray out_; // not yet taken by the socket
    QByteArray in_;  // the start of a packet not yet whole
    bool credentialssent_ = false;
    uint32_t version_ = 0; // agreed with the server
    uint32_t nexttag_ = 0;
    uint32_t authtag_ = 0;
    uint32_t nametag_ = 0;
    bool connected_ = false;          // the server has answered
    std::optional<uint32_t> opening_; // the stream asked for, not yet answered
    std::optional<uint32_t> channel_; // the sound playing, or the last one played
    int playing_ = 0;                 // its wave (the newest stream asked for)
    int pending_ = -1;                // asked for before the server or that stream answered
};

} // namespace ordnix
