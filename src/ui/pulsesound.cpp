#include "ui/pulsesound.h"

#include "ui/pulsewire.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace ordnix {

namespace {

// Our files are tens of kilobytes; anything far larger is not one of them.
constexpr qint64 kMostFileBytes = 16 << 20;
// How far ahead of the loudspeaker the server keeps a stream: a shot is
// heard this long after the key at the latest.
constexpr int kLatencyMs = 40;
// Samples go to the server in packets of at most this many bytes.
constexpr qsizetype kMostSampleBytes = 64 << 10;
constexpr const char* kName = "Ordnix";

uint32_t le16(const char* p) {
    return static_cast<uint8_t>(p[0]) | static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8;
}
uint32_t le32(const char* p) {
    return le16(p) | le16(p + 2) << 16;
}

// The cookie a server may ask for; a server that knows us by our
// credentials takes any, so without a cookie file it is zeros.
QByteArray cookie() {
    const QString home = QDir::homePath();
    for (const QString& path : {qEnvironmentVariable("PULSE_COOKIE"),
                                home + "/.config/pulse/cookie", home + "/.pulse-cookie"}) {
        QFile file(path);
        if (path.isEmpty() || file.size() != pulsewire::kCookieBytes ||
            !file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.read(pulsewire::kCookieBytes);
        if (bytes.size() == pulsewire::kCookieBytes)
            return bytes;
    }
    return QByteArray(pulsewire::kCookieBytes, 0);
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

std::vector<QByteArray> soundservers() {
    const QString named = qEnvironmentVariable("PULSE_SERVER").trimmed();
    if (!named.isEmpty()) {
        for (QString entry : named.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            // An entry may be bound to a machine: "{id}unix:/path".
            if (entry.startsWith(QLatin1Char('{')) && entry.contains(QLatin1Char('}')))
                entry = entry.sliced(entry.indexOf(QLatin1Char('}')) + 1);
            if (entry.startsWith(QLatin1String("unix:")))
                entry = entry.sliced(5);
            if (entry.startsWith(QLatin1Char('/')))
                return {QFile::encodeName(entry)};
        }
        return {}; // a server over the network: the game stays silent
    }
    std::vector<QByteArray> paths;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        paths.push_back(runtime + "/pulse/native");
    paths.push_back("/run/pulse/native");
    return paths;
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
                channels > pulsewire::kMostChannels || rate < 1 || rate > pulsewire::kMostRate)
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
    // The connection is made in the background: the first sound comes
    // seconds after the start, when the server has long answered. A missing
    // server is silence; the game does not start one.
    if (!any || !connectserver())
        return;
    readable_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Read);
    writable_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Write);
    writable_->setEnabled(false);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, readable_.get(),
                     [this] { receive(); });
    QObject::connect(writable_.get(), &QSocketNotifier::activated, writable_.get(),
                     [this] { flush(); });
    authtag_ = nexttag_++;
    send(pulsewire::auth(authtag_, cookie()));
}

PulseSound::~PulseSound() {
    fail(); // the socket closes at once; nothing is waited for
}

// A connected socket that never blocks, to the first server that listens.
bool PulseSound::connectserver() {
    for (const QByteArray& path : soundservers()) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
            continue;
        std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
        socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (socket_ < 0)
            return false;
        if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            return true;
        ::close(socket_);
        socket_ = -1;
    }
    return false;
}

// Silence until the game starts again: the server refused us or went away.
void PulseSound::fail() {
    if (socket_ < 0)
        return;
    readable_->setEnabled(false);
    writable_->setEnabled(false);
    ::close(socket_);
    socket_ = -1;
    connected_ = false;
    out_.clear();
    in_.clear();
}

void PulseSound::send(const QByteArray& packet) {
    out_ += packet;
    flush();
}

// As much as the socket takes now; the rest when it has room again. The
// first bytes carry our credentials, by which a server knows a client of
// its own user without a cookie.
void PulseSound::flush() {
    while (socket_ >= 0 && !out_.isEmpty()) {
        iovec bytes{out_.data(), static_cast<size_t>(out_.size())};
        msghdr message{};
        message.msg_iov = &bytes;
        message.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))] = {};
        if (!credentialssent_) {
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            cmsghdr* header = CMSG_FIRSTHDR(&message);
            header->cmsg_level = SOL_SOCKET;
            header->cmsg_type = SCM_CREDENTIALS;
            header->cmsg_len = CMSG_LEN(sizeof(ucred));
            const ucred self{getpid(), getuid(), getgid()};
            std::memcpy(CMSG_DATA(header), &self, sizeof self);
        }
        const ssize_t sent = ::sendmsg(socket_, &message, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writable_->setEnabled(true);
            return;
        }
        if (sent < 0)
            return fail();
        credentialssent_ = true;
        out_.remove(0, sent);
    }
    if (socket_ >= 0)
        writable_->setEnabled(false);
}

void PulseSound::receive() {
    char buffer[16 << 10];
    for (;;) {
        const ssize_t got = ::read(socket_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got <= 0)
            return fail(); // the server went away
        in_.append(buffer, got);
    }
    qsizetype at = 0;
    while (socket_ >= 0 && in_.size() - at >= pulsewire::kHeaderBytes) {
        const char* header = in_.constData() + at;
        const uint32_t length = pulsewire::headerword(header, pulsewire::Length);
        if (length > pulsewire::kMostBodyBytes)
            return fail();
        if (in_.size() - at - pulsewire::kHeaderBytes < length)
            break;
        const QByteArray body = in_.sliced(at + pulsewire::kHeaderBytes, length);
        at += pulsewire::kHeaderBytes + length;
        // Anything but a command (recorded samples) is none of ours.
        if (pulsewire::headerword(header, pulsewire::Channel) != pulsewire::kCommandChannel)
            continue;
        pulsewire::Reader reader(body);
        const std::optional<uint32_t> command = reader.u32();
        const std::optional<uint32_t> tag = reader.u32();
        if (!command || !tag)
            return fail();
        handle(*command, *tag, body);
    }
    if (socket_ >= 0)
        in_.remove(0, at);
}

void PulseSound::handle(uint32_t command, uint32_t tag, const QByteArray& body) {
    pulsewire::Reader reader(body);
    reader.u32(); // the command and tag again
    reader.u32();
    switch (command) {
    case pulsewire::Error:
        return fail();
    case pulsewire::PlaybackStreamKilled:
        if (reader.u32() == channel_)
            channel_.reset();
        return;
    case pulsewire::Reply:
        break;
    default: // requests for more (it has it all), underruns, events
        return;
    }
    if (tag == authtag_ && version_ == 0) {
        const std::optional<uint32_t> word = reader.u32();
        version_ = std::min(pulsewire::kVersion, word.value_or(0) & pulsewire::kVersionMask);
        if (version_ < pulsewire::kLeastVersion)
            return fail();
        nametag_ = nexttag_++;
        send(pulsewire::setclientname(nametag_, kName));
    } else if (tag == nametag_ && !connected_) {
        connected_ = true;
        if (pending_ >= 0)
            open(std::exchange(pending_, -1));
    } else if (tag == opening_) {
        opening_.reset();
        const std::optional<uint32_t> channel = reader.u32();
        if (!channel)
            return fail();
        if (pending_ >= 0) { // cut off before it began
            send(pulsewire::deleteplayback(nexttag_++, *channel));
            open(std::exchange(pending_, -1));
            return;
        }
        // The whole sound goes to the server at once.
        channel_ = channel;
        const QByteArray& samples = waves_[playing_].samples;
        for (qsizetype from = 0; from < samples.size(); from += kMostSampleBytes)
            out_ += pulsewire::packet(
                *channel, samples.sliced(from, std::min(kMostSampleBytes, samples.size() - from)));
        flush();
    }
}

// Each sound plays on a stream of its own, in its file's format, opened when
// it starts: a stream that has just been opened plays its first sample first.
// The stream starts once the sound is in, at most its latency's worth, so a
// sound shorter than the server's usual pre-buffer plays too. One stream is
// asked for at a time: a sound asked for meanwhile waits for the answer, so
// a server that never answers is not flooded with streams.
void PulseSound::open(int voice) {
    if (channel_) { // cut off
        send(pulsewire::deleteplayback(nexttag_++, *channel_));
        channel_.reset();
    }
    if (opening_) {
        pending_ = voice;
        return;
    }
    const Wave& wave = waves_[voice];
    if (wave.samples.isEmpty())
        return;
    playing_ = voice;
    const uint32_t frame = 2 * static_cast<uint32_t>(wave.channels);
    const uint32_t ahead = static_cast<uint32_t>(wave.rate) * kLatencyMs / 1000 * frame;
    const uint32_t start = std::min(ahead, static_cast<uint32_t>(wave.samples.size()));
    opening_ = nexttag_++;
    send(pulsewire::createplayback(*opening_, version_, kName, static_cast<uint8_t>(wave.channels),
                                   static_cast<uint32_t>(wave.rate), ahead, start));
}

bool PulseSound::ready(SoundId id) const {
    return connected_ && !waves_[id == SoundId::Fire ? 0 : 1].samples.isEmpty();
}

void PulseSound::play(SoundId id) {
    if (socket_ < 0)
        return;
    const int voice = id == SoundId::Fire ? 0 : 1;
    // A new sound cuts off whatever is still playing, itself included.
    if (connected_)
        open(voice);
    else
        pending_ = voice;
}

} // namespace ordnix
