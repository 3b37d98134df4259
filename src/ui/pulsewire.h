#pragma once
// The sound server's wire format (PulseAudio's native protocol, which
// PipeWire's PulseAudio service speaks too): packets of a 20-byte header and
// a body, commands as a list of tagged values. Only what the game's own small
// client needs: a playback stream fed through the socket.

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <utility>

namespace ordnix::pulsewire {

// The header before every packet: five big-endian words.
inline constexpr int kHeaderBytes = 20;
// Body length, channel, the write offset's two halves (samples only), flags.
enum HeaderWord { Length, Channel, OffsetHigh, OffsetLow, Flags };
// Commands and replies travel on this channel; samples on their stream's.
inline constexpr uint32_t kCommandChannel = 0xffffffff;
// Bodies above this are no packet of a sane server.
inline constexpr uint32_t kMostBodyBytes = 16u << 20;
// The protocol version we speak: every field we send and read exists from
// 13 on; we announce 32 and talk in the lower of ours and the server's.
inline constexpr uint32_t kVersion = 32;
inline constexpr uint32_t kLeastVersion = 13;
// The low half of the version word is the version, the high half asks for
// shared memory, which we never do.
inline constexpr uint32_t kVersionMask = 0xffff;
inline constexpr int kCookieBytes = 256;
// "No particular sink", "none", and full volume.
inline constexpr uint32_t kInvalidIndex = 0xffffffff;
inline constexpr uint32_t kDefault = 0xffffffff;
inline constexpr uint32_t kNormVolume = 0x10000;
inline constexpr uint8_t kSampleS16LE = 3;
// Channel positions: mono, front left and right, and the first of the
// numbered auxiliary ones for anything wider.
inline constexpr uint8_t kPositionMono = 0;
inline constexpr uint8_t kPositionLeft = 1;
inline constexpr uint8_t kPositionRight = 2;
inline constexpr uint8_t kPositionAux0 = 12;
inline constexpr int kMostChannels = 32;
inline constexpr int kMostRate = 384000;

enum Command : uint32_t {
    Error = 0,
    Reply = 2,
    CreatePlaybackStream = 3,
    DeletePlaybackStream = 4,
    Auth = 8,
    SetClientName = 9,
    Request = 61,
    PlaybackStreamKilled = 64,
};

// The letter before each value.
namespace tag {
inline constexpr char String = 't';
inline constexpr char NullString = 'N';
inline constexpr char U32 = 'L';
inline constexpr char U8 = 'B';
inline constexpr char U64 = 'R';
inline constexpr char S64 = 'r';
inline constexpr char SampleSpec = 'a';
inline constexpr char Arbitrary = 'x';
inline constexpr char True = '1';
inline constexpr char False = '0';
inline constexpr char Timeval = 'T';
inline constexpr char Usec = 'U';
inline constexpr char ChannelMap = 'm';
inline constexpr char CVolume = 'v';
inline constexpr char Proplist = 'P';
inline constexpr char Volume = 'V';
inline constexpr char FormatInfo = 'f';
} // namespace tag

// A command's body, value by value.
class Tags {
  public:
    Tags& u32(uint32_t value);
    Tags& u8(uint8_t value);
    Tags& boolean(bool value);
    Tags& string(const char* text); // nullptr: no string
    Tags& arbitrary(const QByteArray& bytes);
    Tags& samplespec(uint8_t format, uint8_t channels, uint32_t rate);
    Tags& channelmap(uint8_t channels); // the usual positions for that many
    Tags& cvolume(uint8_t channels, uint32_t volume);
    Tags& proplist(std::initializer_list<std::pair<const char*, const char*>> properties);
    const QByteArray& bytes() const { return bytes_; }

  private:
    QByteArray bytes_;
};

// A packet: the header (offset and flags zero: samples go on where the last
// ended) and the body.
QByteArray packet(uint32_t channel, const QByteArray& body);
// A command packet: the command, its tag (echoed in the reply), the values.
QByteArray command(Command command, uint32_t tag, const Tags& values = Tags());

// The commands the client sends; `version` is the one agreed with the server.
QByteArray auth(uint32_t tag, const QByteArray& cookie);
QByteArray setclientname(uint32_t tag, const char* name);
// A stream for 16-bit samples that starts playing once `prebuf` bytes are
// in, and that the server keeps `tlength` bytes ahead at most.
QByteArray createplayback(uint32_t tag, uint32_t version, const char* name, uint8_t channels,
                          uint32_t rate, uint32_t tlength, uint32_t prebuf);
QByteArray deleteplayback(uint32_t tag, uint32_t channel);

// The header at `bytes` (kHeaderBytes of them).
uint32_t headerword(const char* bytes, HeaderWord word);

// Reads a command body value by value; any value of the wrong kind or past
// the end makes the reader fail, and it stays failed.
class Reader {
  public:
    explicit Reader(QByteArray body) : bytes_(std::move(body)) {}
    std::optional<uint32_t> u32();
    // The next value's letter, the value skipped over; nothing at the end or
    // on a malformed value.
    std::optional<char> skip();
    // What the last skip() went over, after its letter.
    QByteArray last() const { return bytes_.sliced(lastat_, at_ - lastat_); }
    bool atend() const { return ok_ && at_ == bytes_.size(); }
    bool ok() const { return ok_; }

  private:
    bool take(qsizetype bytes);
    bool takestring();
    bool takeproplist();
    QByteArray bytes_;
    qsizetype at_ = 0;
    qsizetype lastat_ = 0;
    bool ok_ = true;
};

} // namespace ordnix::pulsewire
