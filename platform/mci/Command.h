#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mci
{

enum class Verb {
    Open,
    Close,
    Play,
    Pause,
    Resume,
    Stop,
    Seek,
    Set,
    Status,
    Put,
    Where,
    Cue,
    Info,
    Capability,
    Sysinfo,
    Setaudio,
    Other
};

enum class StatusItem {
    Length,
    Position,
    NumberOfTracks,
    Mode,
    MediaPresent,
    TimeFormat,
    Ready,
    CurrentTrack,
    StartPosition,
    WindowHandle,
    WindowVisible,
    Volume,
    Unsupported // a real item of the command set that this device cannot answer
};

enum class TimeFormat { Milliseconds, Unsupported };

enum class InfoItem { File, Product, Version, WindowText, Unsupported };

enum class CapabilityItem {
    CanPlay,
    HasVideo,
    UsesFiles,
    CompoundDevice,
    DeviceType,
    CanRecord,
    CanSave,
    CanEject,
    CanLock,
    CanReverse,
    CanStretch,
    CanStretchInput,
    CanFreeze,
    CanTest,
    CanColorkey,
    HasStill,
    UsesPalettes,
    Windows,
    Unsupported
};

enum class SysinfoItem { Quantity, Name, InstallName };

enum class SeekTarget { None, Start, End, Position };

enum class Area { None, Destination, Source, Window, Frame, Video };

struct Rect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// One command string taken apart. Values not named in the command stay empty.
struct Command {
    Verb verb = Verb::Other;
    std::string device; // the alias or element as typed (case kept)
    bool all = false;   // the device was the word "all"

    bool notify = false;
    bool wait = false;
    bool test = false;
    bool unsupported = false; // a known keyword this layer does not carry out
    // The verb belongs to the device's own command table, not to the table every device shares:
    // without an open device to name ("all", an unknown name) the verb itself is unknown.
    bool deviceVerb = false;

    // open
    std::optional<std::string> type;
    std::optional<std::string> alias;
    std::optional<std::uint64_t> parent;
    std::optional<std::uint32_t> style;

    // play (and cue's to)
    std::optional<std::uint32_t> from;
    std::optional<std::uint32_t> to;

    // seek
    SeekTarget seek = SeekTarget::None;
    std::uint32_t seekPosition = 0;

    // set
    std::optional<TimeFormat> timeFormat;
    std::optional<std::uint32_t> speed; // the playback rate in thousandths: 1000 is normal

    // setaudio ... volume to: 0 is silent, 1000 full
    std::optional<std::uint32_t> volume;

    // status
    std::optional<StatusItem> item;

    // put / where
    Area area = Area::None;
    std::optional<Rect> rect;

    // status ... track
    std::optional<std::uint32_t> track;

    // info, capability
    std::optional<InfoItem> info;
    std::optional<CapabilityItem> capability;

    // sysinfo
    std::optional<SysinfoItem> sysinfo;
    bool openDevices = false; // sysinfo ... open: count or name the open devices only
    std::uint32_t number = 0; // sysinfo ... name <number>
};

struct ParseResult {
    unsigned code = 0; // 0, or the error code of section "errors"
    Command command;
};

// Takes a command string apart without touching any device: pure, so it can be fuzzed alone.
// The string ends at its first NUL, as a C string would.
ParseResult parseCommand(std::string_view text);

// The integer rules of the command language: decimal with an optional '-' (stored as its
// 32-bit two's complement) or up to four colon-separated byte fields, least significant first.
std::optional<std::uint32_t> parseInteger(std::string_view text);

// Letter-case-insensitive comparison of ASCII keywords and aliases.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace mci
