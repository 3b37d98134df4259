#include "ui/pulsesound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pulse/context.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <cstdint>

namespace ordnix {

namespace {

// Our files are tens of kilobytes; anything far larger is not one of them.
constexpr qint64 kMostFileBytes = 16 << 20;
// How far ahead of the loudspeaker the server keeps a stream: a shot is
// heard this long after the key at the latest.
constexpr pa_usec_t kLatencyUs = 40'000;

uint32_t le16(const char* p) {
    return static_cast<uint8_t>(p[0]) | static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8;
}
uint32_t le32(const char* p) {
    return le16(p) | le16(p + 2) << 16;
}

void done(pa_operation* operation) {
    if (operation)
        pa_operation_unref(operation);
}

} // namespace

QString findsound(const QString& exedir, const QString& name) {
    const QDir beside(exedir);
    for (const QString& path :
         {beside.filePath(name), QDir(beside.filePath(kInstalledSoundDir)).filePath(name)}) {
        const QFileInfo file(path);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return QString();
}

std::optional<Wave> readwave(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.sliced(8, 4) != "WAVE")
        return std::nullopt;
    Wave wave;
    qsizetype at = 12;
    while (bytes.size() - at >= 8) {
        const char* chunk = bytes.constData() + at;
        const qsizetype size = le32(chunk + 4);
        const qsizetype body = at + 8;
        const qsizetype left = bytes.size() - body;
        if (qstrncmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || size > left)
                return std::nullopt;
            const char* format = chunk + 8;
            const uint32_t channels = le16(format + 2);
            const uint32_t rate = le32(format + 4);
            if (le16(format) != 1 || le16(format + 14) != 16 || channels < 1 ||
                channels > PA_CHANNELS_MAX || rate < 1 || rate > PA_RATE_MAX)
                return std::nullopt;
            wave.channels = static_cast<int>(channels);
            wave.rate = static_cast<int>(rate);
        } else if (qstrncmp(chunk, "data", 4) == 0) {
            if (wave.channels == 0)
                return std::nullopt; // samples of no known format
            const qsizetype frame = 2 * wave.channels;
            const qsizetype kept = std::min(size, left) / frame * frame;
            if (kept == 0)
                return std::nullopt;
            wave.samples = bytes.sliced(body, kept);
            return wave;
        }
        at = body + size + (size & 1); // chunks are padded to an even length
    }
    return std::nullopt;
}

PulseSound::PulseSound(const QString& folder) {
    const auto path = [&](const QString& name) {
        return folder.isEmpty() ? findsound(QCoreApplication::applicationDirPath(), name)
                                : QDir(folder).filePath(name);
    };
    bool any = false;
    const char* names[] = {"fire.wav", "explode.wav"};
    for (int i = 0; i < 2; ++i) {
        QFile file(path(QString::fromLatin1(names[i])));
        if (file.size() > kMostFileBytes || !file.open(QIODevice::ReadOnly))
            continue;
        if (std::optional<Wave> wave = readwave(file.readAll())) {
            waves_[i] = std::move(*wave);
            any = true;
        }
    }
    if (!any)
        return;
    // The connection is made in the background: the first sound comes
    // seconds after the start, when the server has long answered. A missing
    // server is silence; the game does not start one.
    loop_ = pa_threaded_mainloop_new();
    if (!loop_)
        return;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Ordnix");
    if (context_) {
        pa_context_set_state_callback(context_, &PulseSound::contextchanged, this);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
            pa_threaded_mainloop_start(loop_) >= 0)
            return;
        pa_context_unref(context_);
        context_ = nullptr;
    }
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
}

PulseSound::~PulseSound() {
    if (!loop_)
        return;
    pa_threaded_mainloop_stop(loop_); // no callback runs from here on
    if (stream_) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    pa_threaded_mainloop_free(loop_);
}

void PulseSound::contextchanged(pa_context* context, void* self) {
    auto* sound = static_cast<PulseSound*>(self);
    sound->connected_ = pa_context_get_state(context) == PA_CONTEXT_READY;
    if (sound->connected_ && sound->pending_ >= 0) {
        sound->open(sound->pending_);
        sound->pending_ = -1;
    }
}

// Each sound plays on a stream of its own, in its file's format, opened when
// it starts: a stream that has just been opened plays its first sample first.
void PulseSound::open(int voice) {
    if (stream_) { // cut off
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    const Wave& wave = waves_[voice];
    if (wave.samples.isEmpty())
        return;
    const pa_sample_spec format = {PA_SAMPLE_S16LE, static_cast<uint32_t>(wave.rate),
                                 static_cast<uint8_t>(wave.channels)};
    stream_ = pa_stream_new(context_, "Ordnix", &format, nullptr);
    if (!stream_)
        return;
    playing_ = voice;
    pa_stream_set_state_callback(stream_, &PulseSound::streamchanged, this);
    pa_buffer_attr buffer;
    buffer.maxlength = static_cast<uint32_t>(-1);
    buffer.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kLatencyUs, &format));
    buffer.prebuf = static_cast<uint32_t>(-1);
    buffer.minreq = static_cast<uint32_t>(-1);
    buffer.fragsize = static_cast<uint32_t>(-1);
    pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                               nullptr);
}

// The whole sound goes to the server at once; the trigger starts it without
// waiting for the stream's usual pre-buffer (a sound may be shorter).
void PulseSound::streamchanged(pa_stream* stream, void* self) {
    auto* sound = static_cast<PulseSound*>(self);
    if (stream != sound->stream_ || pa_stream_get_state(stream) != PA_STREAM_READY)
        return;
    const QByteArray& samples = sound->waves_[sound->playing_].samples;
    pa_stream_write(stream, samples.constData(), static_cast<size_t>(samples.size()), nullptr, 0,
                    PA_SEEK_RELATIVE);
    done(pa_stream_trigger(stream, nullptr, nullptr));
}

bool PulseSound::ready(SoundId id) const {
    return connected_ && !waves_[id == SoundId::Fire ? 0 : 1].samples.isEmpty();
}

void PulseSound::play(SoundId id) {
    if (!loop_)
        return;
    const int voice = id == SoundId::Fire ? 0 : 1;
    pa_threaded_mainloop_lock(loop_);
    // A new sound cuts off whatever is still playing, itself included.
    if (connected_)
        open(voice);
    else
        pending_ = voice;
    pa_threaded_mainloop_unlock(loop_);
}

} // namespace ordnix
