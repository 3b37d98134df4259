#include "ui/pulsewire.h"

#include <cstring>

namespace ordnix::pulsewire {

namespace {

// Everything on the wire is big-endian.
void put32(QByteArray& to, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        to += static_cast<char>(value >> shift & 0xff);
}

uint32_t get32(const char* p) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | static_cast<uint8_t>(p[i]);
    return value;
}

} // namespace

Tags& Tags::u32(uint32_t value) {
    bytes_ += tag::U32;
    put32(bytes_, value);
    return *this;
}

Tags& Tags::u8(uint8_t value) {
    bytes_ += tag::U8;
    bytes_ += static_cast<char>(value);
    return *this;
}

Tags& Tags::boolean(bool value) {
    bytes_ += value ? tag::True : tag::False;
    return *this;
}

Tags& Tags::string(const char* text) {
    if (!text) {
        bytes_ += tag::NullString;
        return *this;
    }
    bytes_ += tag::String;
    bytes_.append(text, static_cast<qsizetype>(std::strlen(text) + 1)); // with its zero
    return *this;
}

Tags& Tags::arbitrary(const QByteArray& bytes) {
    bytes_ += tag::Arbitrary;
    put32(bytes_, static_cast<uint32_t>(bytes.size()));
    bytes_ += bytes;
    return *this;
}

Tags& Tags::samplespec(uint8_t format, uint8_t channels, uint32_t rate) {
    bytes_ += tag::SampleSpec;
    bytes_ += static_cast<char>(format);
    bytes_ += static_cast<char>(channels);
    put32(bytes_, rate);
    return *this;
}

Tags& Tags::channelmap(uint8_t channels) {
    bytes_ += tag::ChannelMap;
    bytes_ += static_cast<char>(channels);
    for (int i = 0; i < channels; ++i) {
        const int position = channels == 1   ? kPositionMono
                             : channels == 2 ? kPositionLeft + i
                                             : kPositionAux0 + i;
        bytes_ += static_cast<char>(position);
    }
    return *this;
}

Tags& Tags::cvolume(uint8_t channels, uint32_t volume) {
    bytes_ += tag::CVolume;
    bytes_ += static_cast<char>(channels);
    for (int i = 0; i < channels; ++i)
        put32(bytes_, volume);
    return *this;
}

// Each property is its name, its value's length and the value, a text with
// its zero; no name ends the list.
Tags& Tags::proplist(std::initializer_list<std::pair<const char*, const char*>> properties) {
    bytes_ += tag::Proplist;
    for (const auto& [name, value] : properties) {
        const QByteArray text(value, static_cast<qsizetype>(std::strlen(value) + 1));
        string(name).u32(static_cast<uint32_t>(text.size())).arbitrary(text);
    }
    return string(nullptr);
}

QByteArray packet(uint32_t channel, const QByteArray& body) {
    QByteArray bytes;
    bytes.reserve(kHeaderBytes + body.size());
    for (uint32_t word : {static_cast<uint32_t>(body.size()), channel, 0u, 0u, 0u})
        put32(bytes, word);
    return bytes + body;
}

QByteArray command(Command command, uint32_t tag, const Tags& values) {
    return packet(kCommandChannel, Tags().u32(command).u32(tag).bytes() + values.bytes());
}

QByteArray auth(uint32_t tag, const QByteArray& cookie) {
    return command(Auth, tag, Tags().u32(kVersion).arbitrary(cookie));
}

QByteArray setclientname(uint32_t tag, const char* name) {
    return command(SetClientName, tag, Tags().proplist({{"application.name", name}}));
}

// The fields each version added come in the order the servers read them; a
// server refuses a stream with any field more or less than its version has.
QByteArray createplayback(uint32_t tag, uint32_t version, const char* name, uint8_t channels,
                          uint32_t rate, uint32_t tlength, uint32_t prebuf) {
    Tags t;
    t.samplespec(kSampleS16LE, channels, rate)
        .channelmap(channels)
        .u32(kInvalidIndex) // the default sink
        .string(nullptr)
        .u32(kDefault)  // largest buffer
        .boolean(false) // not paused
        .u32(tlength)
        .u32(prebuf)
        .u32(kDefault) // smallest request
        .u32(0)        // no sync group
        .cvolume(channels, kNormVolume);
    // From 12: no remapping, remixing, format fixing or moving restrictions.
    for (int i = 0; i < 7; ++i)
        t.boolean(false);
    // From 13: not muted, the latency adjusted to tlength, the properties.
    t.boolean(false).boolean(true).proplist({{"media.name", name}, {"application.name", name}});
    if (version >= 14) // the volume not set, no early requests
        t.boolean(false).boolean(false);
    if (version >= 15) // mute not set, suspend as usual
        t.boolean(false).boolean(false).boolean(false);
    if (version >= 17) // not relative volume
        t.boolean(false);
    if (version >= 18) // no passthrough
        t.boolean(false);
    if (version >= 21) // no formats besides the sample format
        t.u8(0);
    return command(CreatePlaybackStream, tag, t);
}

QByteArray deleteplayback(uint32_t tag, uint32_t channel) {
    return command(DeletePlaybackStream, tag, Tags().u32(channel));
}

uint32_t headerword(const char* bytes, HeaderWord word) {
    return get32(bytes + 4 * word);
}

bool Reader::take(qsizetype bytes) {
    ok_ = ok_ && bytes_.size() - at_ >= bytes;
    if (ok_)
        at_ += bytes;
    return ok_;
}

bool Reader::takestring() {
    const qsizetype end = bytes_.indexOf('\0', at_);
    return take(end < 0 ? bytes_.size() + 1 : end + 1 - at_);
}

bool Reader::takeproplist() {
    for (;;) {
        if (!take(1))
            return false;
        const char letter = bytes_[at_ - 1];
        if (letter == tag::NullString)
            return true;
        if (letter != tag::String || !takestring() || !take(1) || bytes_[at_ - 1] != tag::U32 ||
            !take(4) || !take(1) || bytes_[at_ - 1] != tag::Arbitrary || !take(4) ||
            !take(get32(bytes_.constData() + at_ - 4)))
            return (ok_ = false);
    }
}

std::optional<uint32_t> Reader::u32() {
    if (skip() != tag::U32) {
        ok_ = false;
        return std::nullopt;
    }
    return get32(bytes_.constData() + at_ - 4);
}

std::optional<char> Reader::skip() {
    if (!take(1))
        return std::nullopt;
    const char letter = bytes_[at_ - 1];
    lastat_ = at_;
    const auto counted = [&](int each) { return take(1) && take(each * uint8_t(bytes_[at_ - 1])); };
    bool good = false;
    switch (letter) {
    case tag::NullString:
    case tag::True:
    case tag::False:
        good = true;
        break;
    case tag::String:
        good = takestring();
        break;
    case tag::U8:
        good = take(1);
        break;
    case tag::U32:
    case tag::Volume:
        good = take(4);
        break;
    case tag::SampleSpec:
        good = take(6);
        break;
    case tag::U64:
    case tag::S64:
    case tag::Usec:
    case tag::Timeval:
        good = take(8);
        break;
    case tag::Arbitrary:
        good = take(4) && take(get32(bytes_.constData() + at_ - 4));
        break;
    case tag::ChannelMap:
        good = counted(1);
        break;
    case tag::CVolume:
        good = counted(4);
        break;
    case tag::Proplist:
        good = takeproplist();
        break;
    case tag::FormatInfo:
        good = take(1) && bytes_[at_ - 1] == tag::U8 && take(1) && take(1) &&
               bytes_[at_ - 1] == tag::Proplist && takeproplist();
        break;
    }
    ok_ = ok_ && good;
    if (!ok_)
        return std::nullopt;
    return letter;
}

} // namespace ordnix::pulsewire
