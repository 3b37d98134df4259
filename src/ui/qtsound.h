#pragma once
// The game's sound through Qt Multimedia: fire.wav and explode.wav, found
// by findsound(). Without the files or an audio device it stays silent.

#include "game/ports.h"

#include <QString>
#include <memory>

class QSoundEffect;

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

class QtSound final : public Sound {
  public:
    // Needs a running QApplication. `folder` holds the wave files; empty
    // means findsound() from the executable's folder.
    explicit QtSound(const QString& folder = QString());
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    void play(SoundId id) override;

    // True once the file for `id` is decoded and ready to play (decoding
    // runs in the background). Always false without an audio device.
    bool ready(SoundId id) const;

  private:
    QSoundEffect* effect(SoundId id) const;

    std::unique_ptr<QSoundEffect> fire_;
    std::unique_ptr<QSoundEffect> explode_;
};

} // namespace ordnix
