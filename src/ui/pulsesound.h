#pragma once
// The game's sound: fire.wav and explode.wav, found by findsound(), played
// through the desktop's sound server (PulseAudio, or PipeWire's PulseAudio
// service). Without the files or a server it stays silent.
//
// The server's own client library does the playing, on a thread of its
// own, so play() never waits for the server. It carries a fraction of the
// memory of a general media framework: the game only ever plays two short
// 16-bit PCM files that it made itself.

#include "game/ports.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>
#include <optional>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

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
    // On the server connection's thread, with its lock held.
    static void contextchanged(pa_context* context, void* self);
    static void streamchanged(pa_stream* stream, void* self);
    void open(int voice);

    std::array<Wave, 2> waves_; // fire, explode
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    std::atomic<bool> connected_{false};
    pa_stream* stream_ = nullptr; // the sound playing, or the last one played
    int playing_ = 0;             // its wave
    int pending_ = -1;            // asked for before the server answered
};

} // namespace ordnix
