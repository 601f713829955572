#include "mci/Command.h"
#include "mci/ErrorCodes.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace mci
{
namespace
{

struct Token {
    std::string text;
    bool quoted = false;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Splits on runs of blanks. A double-quoted token may hold blanks; "" inside it is one quote.
unsigned tokenize(std::string_view text, std::vector<Token> &tokens)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        Token token;
        if (text[i] == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        token.text += '"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                token.text += text[i++];
            }
            if (!closed)
                return error::NoClosingQuote;
            if (i < text.size() && !isBlank(text[i]))
                return error::ExtraCharacters;
        } else {
            while (i < text.size() && !isBlank(text[i]))
                token.text += text[i++];
        }
        tokens.push_back(std::move(token));
    }
    return error::None;
}

enum class Kind { Flag, Integer, String, Rectangle, TimeFormatValue, StyleValue, AudioChannel };

// One keyword of a verb: its words, what value follows, and its exclusion group. Two
// keywords of one group (or one of them twice) are incompatible; other keywords may only
// appear once.
struct Keyword {
    std::vector<std::string_view> words;
    Kind kind = Kind::Flag;
    int group = 0;
    std::function<void(Command &, const Token *value, std::uint32_t number, const Rect &rect)>
        apply;
};

using Apply = decltype(Keyword::apply);

Apply flag(bool Command::*member)
{
    return [member](Command &c, const Token *, std::uint32_t, const Rect &) { c.*member = true; };
}

Apply unsupported()
{
    return [](Command &c, const Token *, std::uint32_t, const Rect &) { c.unsupported = true; };
}

Apply item(StatusItem value)
{
    return [value](Command &c, const Token *, std::uint32_t, const Rect &) { c.item = value; };
}

Apply area(Area value)
{
    return [value](Command &c, const Token *, std::uint32_t, const Rect &) { c.area = value; };
}

Apply rectangle()
{
    return [](Command &c, const Token *, std::uint32_t, const Rect &r) { c.rect = r; };
}

void addCommon(std::vector<Keyword> &keywords)
{
    keywords.push_back({{"notify"}, Kind::Flag, 0, flag(&Command::notify)});
    keywords.push_back({{"wait"}, Kind::Flag, 0, flag(&Command::wait)});
    keywords.push_back({{"test"}, Kind::Flag, 0, flag(&Command::test)});
}

constexpr int kItemGroup = 1;
constexpr int kTargetGroup = 2;
constexpr int kAreaGroup = 3;
constexpr int kScreenGroup = 4;
constexpr int kLimitGroup = 5;
constexpr int kSwitchGroup = 6;
constexpr int kDoorGroup = 7;
constexpr int kFormatGroup = 8;

std::vector<Keyword> openKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back(
        {{"type"}, Kind::String, 0, [](Command &c, const Token *v, std::uint32_t, const Rect &) {
             c.type = v->text;
         }});
    k.push_back(
        {{"alias"}, Kind::String, 0, [](Command &c, const Token *v, std::uint32_t, const Rect &) {
             c.alias = v->text;
         }});
    k.push_back(
        {{"parent"}, Kind::Integer, 0, [](Command &c, const Token *v, std::uint32_t, const Rect &) {
             // Handles are not limited to 32 bits here; the token was checked as an integer.
             std::uint64_t handle = 0;
             for (char ch : v->text)
                 handle = handle * 10 + static_cast<std::uint64_t>(ch - '0');
             c.parent = handle;
         }});
    k.push_back({{"style"},
                 Kind::StyleValue,
                 0,
                 [](Command &c, const Token *, std::uint32_t n, const Rect &) { c.style = n; }});
    k.push_back(
        {{"shareable"}, Kind::Flag, 0, [](Command &, const Token *, std::uint32_t, const Rect &) {
         }});
    k.push_back(
        {{"nostatic"}, Kind::Flag, 0, [](Command &, const Token *, std::uint32_t, const Rect &) {
         }});
    return k;
}

std::vector<Keyword> playKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back(
        {{"from"}, Kind::Integer, 0, [](Command &c, const Token *, std::uint32_t n, const Rect &) {
             c.from = n;
         }});
    k.push_back(
        {{"to"}, Kind::Integer, 0, [](Command &c, const Token *, std::uint32_t n, const Rect &) {
             c.to = n;
         }});
    k.push_back({{"repeat"}, Kind::Flag, 0, unsupported()});
    k.push_back({{"reverse"}, Kind::Flag, 0, unsupported()});
    k.push_back({{"window"},
                 Kind::Flag,
                 kScreenGroup,
                 [](Command &, const Token *, std::uint32_t, const Rect &) {}});
    k.push_back({{"fullscreen", "by", "2"}, Kind::Flag, kScreenGroup, unsupported()});
    k.push_back({{"fullscreen"}, Kind::Flag, kScreenGroup, unsupported()});
    return k;
}

std::vector<Keyword> seekKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back({{"to", "start"},
                 Kind::Flag,
                 kTargetGroup,
                 [](Command &c, const Token *, std::uint32_t, const Rect &) {
                     c.seek = SeekTarget::Start;
                 }});
    k.push_back(
        {{"to", "end"},
         Kind::Flag,
         kTargetGroup,
         [](Command &c, const Token *, std::uint32_t, const Rect &) { c.seek = SeekTarget::End; }});
    k.push_back({{"to"},
                 Kind::Integer,
                 kTargetGroup,
                 [](Command &c, const Token *, std::uint32_t n, const Rect &) {
                     c.seek = SeekTarget::Position;
                     c.seekPosition = n;
                 }});
    return k;
}

std::vector<Keyword> setKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back({{"time", "format"},
                 Kind::TimeFormatValue,
                 kFormatGroup,
                 [](Command &c, const Token *, std::uint32_t n, const Rect &) {
                     c.timeFormat = n == 0 ? TimeFormat::Milliseconds : TimeFormat::Unsupported;
                 }});
    k.push_back({{"audio"}, Kind::AudioChannel, 0, unsupported()});
    k.push_back({{"video"}, Kind::Flag, 0, unsupported()});
    k.push_back({{"seek", "exactly"}, Kind::Flag, 0, unsupported()});
    k.push_back(
        {{"speed"}, Kind::Integer, 0, [](Command &c, const Token *, std::uint32_t n, const Rect &) {
             c.speed = n;
         }});
    k.push_back({{"still"}, Kind::Flag, 0, unsupported()});
    k.push_back({{"door", "open"}, Kind::Flag, kDoorGroup, unsupported()});
    k.push_back({{"door", "closed"}, Kind::Flag, kDoorGroup, unsupported()});
    k.push_back({{"on"}, Kind::Flag, kSwitchGroup, unsupported()});
    k.push_back({{"off"}, Kind::Flag, kSwitchGroup, unsupported()});
    return k;
}

std::vector<Keyword> setaudioKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back({{"volume", "to"},
                 Kind::Integer,
                 0,
                 [](Command &c, const Token *, std::uint32_t n, const Rect &) { c.volume = n; }});
    k.push_back({{"bass", "to"}, Kind::Integer, 0, unsupported()});
    k.push_back({{"treble", "to"}, Kind::Integer, 0, unsupported()});
    k.push_back({{"left"}, Kind::Flag, kSwitchGroup + 1, unsupported()});
    k.push_back({{"right"}, Kind::Flag, kSwitchGroup + 1, unsupported()});
    k.push_back({{"on"}, Kind::Flag, kSwitchGroup, unsupported()});
    k.push_back({{"off"}, Kind::Flag, kSwitchGroup, unsupported()});
    return k;
}

struct ItemName {
    std::vector<std::string_view> words;
    StatusItem item;
    std::uint32_t code;
};

const std::vector<ItemName> &itemNames()
{
    static const std::vector<ItemName> names{
        {{"length"}, StatusItem::Length, 1},
        {{"position"}, StatusItem::Position, 2},
        {{"number", "of", "tracks"}, StatusItem::NumberOfTracks, 3},
        {{"mode"}, StatusItem::Mode, 4},
        {{"media", "present"}, StatusItem::MediaPresent, 5},
        {{"time", "format"}, StatusItem::TimeFormat, 6},
        {{"ready"}, StatusItem::Ready, 7},
        {{"current", "track"}, StatusItem::CurrentTrack, 8},
        {{"start", "position"}, StatusItem::StartPosition, 0x4009},
        {{"window", "handle"}, StatusItem::WindowHandle, 0x4001},
        {{"window", "visible"}, StatusItem::WindowVisible, 0x4021},
        {{"window", "minimized"}, StatusItem::Unsupported, 0x4022},
        {{"window", "maximized"}, StatusItem::Unsupported, 0x4023},
        {{"frames", "skipped"}, StatusItem::Unsupported, 0x8001},
        {{"play", "speed"}, StatusItem::Unsupported, 0x8002},
        {{"audio", "breaks"}, StatusItem::Unsupported, 0x8003},
        {{"speed"}, StatusItem::Unsupported, 0x4003},
        {{"frame", "rate"}, StatusItem::Unsupported, 0x400E},
        {{"nominal", "frame", "rate"}, StatusItem::Unsupported, 0x400F},
        {{"volume"}, StatusItem::Volume, 0x4019},
        {{"audio"}, StatusItem::Unsupported, 0x4014},
        {{"video"}, StatusItem::Unsupported, 0x4018},
        {{"seek", "exactly"}, StatusItem::Unsupported, 0x4011},
    };
    return names;
}

std::vector<Keyword> statusKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    for (const ItemName &name : itemNames())
        k.push_back({name.words, Kind::Flag, kItemGroup, item(name.item)});
    k.push_back(
        {{"track"}, Kind::Integer, 0, [](Command &c, const Token *, std::uint32_t n, const Rect &) {
             c.track = n;
         }});
    return k;
}

std::vector<Keyword> cueKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back({{"input"}, Kind::Flag, kSwitchGroup, unsupported()});
    k.push_back({{"output"},
                 Kind::Flag,
                 kSwitchGroup,
                 [](Command &, const Token *, std::uint32_t, const Rect &) {}});
    k.push_back(
        {{"to"}, Kind::Integer, 0, [](Command &c, const Token *, std::uint32_t n, const Rect &) {
             c.to = n;
         }});
    return k;
}

std::vector<Keyword> infoKeywords()
{
    const auto info = [](InfoItem value) -> Apply {
        return [value](Command &c, const Token *, std::uint32_t, const Rect &) { c.info = value; };
    };
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back({{"file"}, Kind::Flag, kItemGroup, info(InfoItem::File)});
    k.push_back({{"product"}, Kind::Flag, kItemGroup, info(InfoItem::Product)});
    k.push_back({{"version"}, Kind::Flag, kItemGroup, info(InfoItem::Version)});
    k.push_back({{"window", "text"}, Kind::Flag, kItemGroup, info(InfoItem::WindowText)});
    k.push_back({{"usage"}, Kind::Flag, kItemGroup, info(InfoItem::Unsupported)});
    return k;
}

std::vector<Keyword> capabilityKeywords()
{
    static const std::vector<std::pair<std::vector<std::string_view>, CapabilityItem>> items{
        {{"can", "play"}, CapabilityItem::CanPlay},
        {{"has", "video"}, CapabilityItem::HasVideo},
        {{"uses", "files"}, CapabilityItem::UsesFiles},
        {{"compound", "device"}, CapabilityItem::CompoundDevice},
        {{"device", "type"}, CapabilityItem::DeviceType},
        {{"can", "record"}, CapabilityItem::CanRecord},
        {{"can", "save"}, CapabilityItem::CanSave},
        {{"can", "eject"}, CapabilityItem::CanEject},
        {{"can", "lock"}, CapabilityItem::CanLock},
        {{"can", "reverse"}, CapabilityItem::CanReverse},
        {{"can", "stretch", "input"}, CapabilityItem::CanStretchInput},
        {{"can", "stretch"}, CapabilityItem::CanStretch},
        {{"can", "freeze"}, CapabilityItem::CanFreeze},
        {{"can", "test"}, CapabilityItem::CanTest},
        {{"can", "colorkey"}, CapabilityItem::CanColorkey},
        {{"has", "still"}, CapabilityItem::HasStill},
        {{"uses", "palettes"}, CapabilityItem::UsesPalettes},
        {{"windows"}, CapabilityItem::Windows},
        {{"has", "audio"}, CapabilityItem::Unsupported},
        {{"maximum", "play", "rate"}, CapabilityItem::Unsupported},
        {{"minimum", "play", "rate"}, CapabilityItem::Unsupported},
    };
    std::vector<Keyword> k;
    addCommon(k);
    for (const auto &entry : items) {
        const CapabilityItem value = entry.second;
        k.push_back({entry.first, Kind::Flag, kItemGroup,
                     [value](Command &c, const Token *, std::uint32_t, const Rect &) {
                         c.capability = value;
                     }});
    }
    return k;
}

std::vector<Keyword> sysinfoKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back({{"quantity"},
                 Kind::Flag,
                 kItemGroup,
                 [](Command &c, const Token *, std::uint32_t, const Rect &) {
                     c.sysinfo = SysinfoItem::Quantity;
                 }});
    k.push_back({{"name"},
                 Kind::Integer,
                 kItemGroup,
                 [](Command &c, const Token *, std::uint32_t n, const Rect &) {
                     c.sysinfo = SysinfoItem::Name;
                     c.number = n;
                 }});
    k.push_back({{"installname"},
                 Kind::Flag,
                 kItemGroup,
                 [](Command &c, const Token *, std::uint32_t, const Rect &) {
                     c.sysinfo = SysinfoItem::InstallName;
                 }});
    k.push_back({{"open"}, Kind::Flag, 0, flag(&Command::openDevices)});
    return k;
}

std::vector<Keyword> areaKeywords(bool put)
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back({{"destination"}, Kind::Flag, kAreaGroup, area(Area::Destination)});
    k.push_back({{"source"}, Kind::Flag, kAreaGroup, area(Area::Source)});
    k.push_back({{"window"}, Kind::Flag, kAreaGroup, area(Area::Window)});
    k.push_back({{"frame"}, Kind::Flag, kAreaGroup, area(Area::Frame)});
    k.push_back({{"video"}, Kind::Flag, kAreaGroup, area(Area::Video)});
    if (put) {
        k.push_back({{"at"}, Kind::Rectangle, 0, rectangle()});
        k.push_back({{"client"}, Kind::Flag, 0, unsupported()});
    } else {
        k.push_back({{"max"}, Kind::Flag, kLimitGroup, unsupported()});
        k.push_back({{"min"}, Kind::Flag, kLimitGroup, unsupported()});
    }
    return k;
}

std::vector<Keyword> stopKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    k.push_back(
        {{"hold"}, Kind::Flag, 0, [](Command &, const Token *, std::uint32_t, const Rect &) {}});
    return k;
}

std::vector<Keyword> commonKeywords()
{
    std::vector<Keyword> k;
    addCommon(k);
    return k;
}

// Longer keywords first, so "to start" wins over "to" and "fullscreen by 2" over "fullscreen".
std::vector<Keyword> sorted(std::vector<Keyword> keywords)
{
    std::stable_sort(keywords.begin(), keywords.end(), [](const Keyword &a, const Keyword &b) {
        return a.words.size() > b.words.size();
    });
    return keywords;
}

struct VerbEntry {
    std::string_view name;
    Verb verb;
    std::vector<Keyword> keywords;
    bool deviceVerb = false; // from the device's own table (see Command::deviceVerb)
};

const std::vector<VerbEntry> &verbs()
{
    static const std::vector<VerbEntry> table{
        {"open", Verb::Open, sorted(openKeywords())},
        {"close", Verb::Close, sorted(commonKeywords())},
        {"play", Verb::Play, sorted(playKeywords())},
        {"pause", Verb::Pause, sorted(commonKeywords())},
        {"resume", Verb::Resume, sorted(commonKeywords())},
        {"stop", Verb::Stop, sorted(stopKeywords())},
        {"seek", Verb::Seek, sorted(seekKeywords())},
        {"set", Verb::Set, sorted(setKeywords())},
        {"status", Verb::Status, sorted(statusKeywords())},
        {"put", Verb::Put, sorted(areaKeywords(true))},
        {"where", Verb::Where, sorted(areaKeywords(false))},
        {"cue", Verb::Cue, sorted(cueKeywords()), true},
        {"info", Verb::Info, sorted(infoKeywords())},
        {"capability", Verb::Capability, sorted(capabilityKeywords())},
        {"sysinfo", Verb::Sysinfo, sorted(sysinfoKeywords())},
        {"setaudio", Verb::Setaudio, sorted(setaudioKeywords()), true},
    };
    return table;
}

struct OtherVerb {
    std::string_view name;
    bool deviceVerb;
};

// Verbs of the command set that this layer accepts as words but does not carry out, each with
// whether it comes from the device's own table.
constexpr std::array<OtherVerb, 26> kOtherVerbs{
    {{"window", true},  {"setvideo", true},  {"update", true},   {"step", true},
     {"realize", true}, {"freeze", true},    {"unfreeze", true}, {"signal", true},
     {"load", false},   {"save", false},     {"record", false},  {"copy", true},
     {"cut", true},     {"paste", true},     {"delete", true},   {"capture", true},
     {"list", true},    {"monitor", true},   {"quality", true},  {"reserve", true},
     {"restore", true}, {"configure", true}, {"undo", true},     {"break", false},
     {"escape", false}, {"spin", true}}};

bool matches(const std::vector<Token> &tokens, std::size_t at,
             const std::vector<std::string_view> &words)
{
    if (at + words.size() > tokens.size())
        return false;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (tokens[at + i].quoted || !equalsIgnoringCase(tokens[at + i].text, words[i]))
            return false;
    return true;
}

std::optional<std::uint32_t> timeFormatCode(const std::vector<Token> &tokens, std::size_t &at)
{
    static const std::vector<std::pair<std::vector<std::string_view>, std::uint32_t>> formats{
        {{"smpte", "30", "drop"}, 7},
        {{"smpte", "24"}, 4},
        {{"smpte", "25"}, 5},
        {{"smpte", "30"}, 6},
        {{"milliseconds"}, 0},
        {{"ms"}, 0},
        {{"hms"}, 1},
        {{"msf"}, 2},
        {{"frames"}, 3},
        {{"bytes"}, 8},
        {{"samples"}, 9},
        {{"tmsf"}, 10}};
    for (const auto &[words, code] : formats) {
        if (matches(tokens, at, words)) {
            at += words.size();
            return code;
        }
    }
    if (const auto number = parseInteger(tokens[at].text); number && *number <= 10) {
        ++at;
        return number;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> styleCode(const Token &token)
{
    if (!token.quoted) {
        if (equalsIgnoringCase(token.text, "child"))
            return 0x40000000u;
        if (equalsIgnoringCase(token.text, "overlapped"))
            return 0x00CF0000u;
        if (equalsIgnoringCase(token.text, "popup"))
            return 0x80880000u;
    }
    return parseInteger(token.text);
}

bool isPlainDecimal(std::string_view text)
{
    return !text.empty() && text.size() <= 19 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Reads the value of keyword k starting at tokens[at]; advances at past it.
unsigned readValue(const Keyword &k, const std::vector<Token> &tokens, std::size_t &at,
                   Command &command)
{
    const bool present = at < tokens.size();
    switch (k.kind) {
    case Kind::Flag:
        k.apply(command, nullptr, 0, {});
        return error::None;
    case Kind::String:
        if (!present)
            return error::MissingStringArgument;
        k.apply(command, &tokens[at++], 0, {});
        return error::None;
    case Kind::Integer: {
        if (!present)
            return error::BadInteger;
        const Token &token = tokens[at++];
        if (k.words.front() == "parent") {
            if (!isPlainDecimal(token.text))
                return error::BadInteger;
            k.apply(command, &token, 0, {});
            return error::None;
        }
        const auto number = parseInteger(token.text);
        if (!number)
            return error::BadInteger;
        k.apply(command, &token, *number, {});
        return error::None;
    }
    case Kind::Rectangle: {
        std::array<std::int32_t, 4> values{};
        for (auto &value : values) {
            if (at >= tokens.size())
                return error::BadInteger;
            const auto number = parseInteger(tokens[at].text);
            if (!number)
                return error::BadInteger;
            value = static_cast<std::int32_t>(*number);
            ++at;
        }
        k.apply(command, nullptr, 0, Rect{values[0], values[1], values[2], values[3]});
        return error::None;
    }
    case Kind::TimeFormatValue: {
        if (!present)
            return error::MissingParameter;
        const auto code = timeFormatCode(tokens, at);
        if (!code)
            return error::BadConstant;
        k.apply(command, nullptr, *code, {});
        return error::None;
    }
    case Kind::StyleValue: {
        if (!present)
            return error::MissingParameter;
        const auto code = styleCode(tokens[at++]);
        if (!code)
            return error::BadConstant;
        k.apply(command, nullptr, *code, {});
        return error::None;
    }
    case Kind::AudioChannel: {
        if (!present)
            return error::MissingParameter;
        const Token &token = tokens[at++];
        if (token.quoted ||
            !(equalsIgnoringCase(token.text, "all") || equalsIgnoringCase(token.text, "left") ||
              equalsIgnoringCase(token.text, "right")))
            return error::BadConstant;
        k.apply(command, nullptr, 0, {});
        return error::None;
    }
    }
    return error::None;
}

// A status item may also be given by its numeric code.
bool applyItemCode(const Token &token, Command &command)
{
    const auto code = parseInteger(token.text);
    if (!code)
        return false;
    for (const ItemName &name : itemNames()) {
        if (name.code == *code) {
            command.item = name.item;
            return true;
        }
    }
    return false;
}

unsigned parseArguments(const VerbEntry &entry, const std::vector<Token> &tokens, std::size_t at,
                        Command &command)
{
    std::vector<const Keyword *> seen;
    std::vector<int> groups;
    while (at < tokens.size()) {
        const Keyword *found = nullptr;
        for (const Keyword &k : entry.keywords) {
            if (matches(tokens, at, k.words)) {
                found = &k;
                break;
            }
        }
        if (!found) {
            if (entry.verb == Verb::Status) {
                if (std::find(groups.begin(), groups.end(), kItemGroup) != groups.end())
                    return parseInteger(tokens[at].text) ? error::FlagsNotCompatible
                                                         : error::BadConstant;
                if (!applyItemCode(tokens[at], command))
                    return error::BadConstant;
                groups.push_back(kItemGroup);
                ++at;
                continue;
            }
            return error::UnrecognizedKeyword;
        }
        if (found->group != 0) {
            if (std::find(groups.begin(), groups.end(), found->group) != groups.end())
                return error::FlagsNotCompatible;
            groups.push_back(found->group);
        } else if (std::find(seen.begin(), seen.end(), found) != seen.end()) {
            return error::DuplicateFlags;
        }
        seen.push_back(found);
        at += found->words.size();
        if (const unsigned code = readValue(*found, tokens, at, command))
            return code;
    }
    return error::None;
}

unsigned checkComplete(const Command &command)
{
    switch (command.verb) {
    case Verb::Seek:
        return command.seek == SeekTarget::None ? error::MissingParameter : error::None;
    case Verb::Status:
        return command.item ? error::None : error::UnsupportedFunction;
    case Verb::Put:
    case Verb::Where:
        return command.area == Area::None ? error::MissingParameter : error::None;
    case Verb::Set:
        return command.timeFormat || command.speed || command.unsupported ? error::None
                                                                          : error::MissingParameter;
    case Verb::Setaudio:
        return command.volume || command.unsupported ? error::None : error::MissingParameter;
    case Verb::Info:
        return command.info ? error::None : error::MissingParameter;
    case Verb::Capability:
        return command.capability ? error::None : error::MissingParameter;
    case Verb::Sysinfo:
        return command.sysinfo ? error::None : error::MissingParameter;
    default:
        return error::None;
    }
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::optional<std::uint32_t> parseInteger(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    if (text.find(':') == std::string_view::npos) {
        const bool negative = text.front() == '-';
        const std::string_view digits = negative ? text.substr(1) : text;
        if (digits.empty() || digits.size() > 10)
            return std::nullopt;
        std::uint64_t value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (value > (negative ? 0x80000000ull : 0xFFFFFFFFull))
            return std::nullopt;
        return negative ? static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(value))
                        : static_cast<std::uint32_t>(value);
    }
    // Colon form: up to four byte fields, least significant first; empty fields are 0,
    // but at least one field must hold digits.
    std::uint32_t value = 0;
    int field = 0;
    bool anyDigits = false;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        const std::string_view part =
            text.substr(start, colon == std::string_view::npos ? text.npos : colon - start);
        if (field >= 4 || part.size() > 3)
            return std::nullopt;
        std::uint32_t byte = 0;
        for (char c : part) {
            if (c < '0' || c > '9')
                return std::nullopt;
            byte = byte * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (byte > 255)
            return std::nullopt;
        anyDigits = anyDigits || !part.empty();
        value |= byte << (8 * field);
        ++field;
        if (colon == std::string_view::npos)
            break;
        start = colon + 1;
    }
    if (!anyDigits)
        return std::nullopt;
    return value;
}

ParseResult parseCommand(std::string_view text)
{
    ParseResult result;
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

    std::vector<Token> tokens;
    if ((result.code = tokenize(text, tokens)))
        return result;
    if (tokens.empty()) {
        result.code = error::MissingCommandString;
        return result;
    }

    const Token &verbToken = tokens.front();
    const VerbEntry *entry = nullptr;
    for (const VerbEntry &candidate : verbs())
        if (!verbToken.quoted && equalsIgnoringCase(verbToken.text, candidate.name))
            entry = &candidate;
    const auto other =
        entry || verbToken.quoted
            ? kOtherVerbs.end()
            : std::find_if(kOtherVerbs.begin(), kOtherVerbs.end(), [&](const OtherVerb &candidate) {
                  return equalsIgnoringCase(verbToken.text, candidate.name);
              });
    if (!entry && other == kOtherVerbs.end()) {
        result.code = error::UnrecognizedCommand;
        return result;
    }

    Command &command = result.command;
    command.verb = entry ? entry->verb : Verb::Other;
    command.deviceVerb = entry ? entry->deviceVerb : other->deviceVerb;
    if (tokens.size() < 2 || tokens[1].text.empty()) {
        result.code = error::MissingDeviceName;
        return result;
    }
    command.device = tokens[1].text;
    command.all = !tokens[1].quoted && equalsIgnoringCase(command.device, "all");
    if (!entry)
        return result;
    if ((result.code = parseArguments(*entry, tokens, 2, command)))
        return result;
    result.code = checkComplete(command);
    return result;
}

} // namespace mci
