#pragma once
// The game's sound through Qt Multimedia: fire.wav and explode.wav from the
// executable's folder. Without the files or an audio device it stays silent.

#include "game/ports.h"

#include <QString>
#include <memory>

class QSoundEffect;

namespace ordnix {

class QtSound final : public Sound {
  public:
    // Needs a running QApplication. `folder` holds the wave files; empty
    // means the executable's folder.
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
