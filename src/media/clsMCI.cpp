#include "media/clsMCI.h"

#include "common/VideoTypes.h"
#include "failure/Failure.h"
#include "mci/Transport.h"
#include "system/IniFile.h"
#include "system/PathResolver.h"
#include "system/ShortPath.h"
#include "system/SystemFolders.h"
#include "toolkit/WindowHandles.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace
{

// Every string the media service hands back fits a 128-character buffer with its terminator.
constexpr int ReplyBufferSize = 128;
// The open command is laid out in a fixed 255-character text; the padding blanks are ignored.
constexpr std::size_t OpenCommandWidth = 255;
// The child-window style: the video becomes a child of the given window.
constexpr long long ChildWindowStyle = 0x40000000;

[[noreturn]] void typeMismatch()
{
    throw pellin::Failure(pellin::failure::TypeMismatch);
}

std::string lowerCased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmedBlanks(const std::string &text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The number a whole text stands for (blanks around it allowed), or nothing when it is no number.
std::optional<double> numberIn(const std::string &text)
{
    std::string number = trimmedBlanks(text);
    if (!number.empty() && number.front() == '+')
        number.erase(0, 1);
    double value = 0;
    const char *end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (number.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::int32_t wholeNumberIn(const std::string &text)
{
    const std::optional<double> value = numberIn(text);
    if (!value || std::abs(*value) > std::numeric_limits<std::int32_t>::max())
        typeMismatch();
    return static_cast<std::int32_t>(std::nearbyint(*value));
}

// The decimal number a reply starts with; a reply without digits reads as 0, one too large for
// 32 bits as unknown (-1).
std::int32_t leadingNumber(const std::string &reply)
{
    std::size_t at = reply.find_first_not_of(" \t");
    if (at == std::string::npos)
        return 0;
    const bool negative = reply[at] == '-';
    if (reply[at] == '-' || reply[at] == '+')
        ++at;
    long long value = 0;
    for (; at < reply.size() && std::isdigit(static_cast<unsigned char>(reply[at])); ++at) {
        value = value * 10 + (reply[at] - '0');
        if (value > std::numeric_limits<std::int32_t>::max())
            return -1;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

// A file name as the open command's first argument. Blanks would split it into several words,
// so such a name (and one holding a quote, which would end it early) goes in double quotes,
// with a quote inside written twice.
std::string asElement(const std::string &fileName)
{
    if (fileName.find_first_of(" \t\"") == std::string::npos)
        return fileName;
    std::string quoted = "\"";
    for (const char c : fileName) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string resultText(unsigned code)
{
    if (code == 0)
        return "Success";
    std::string text = mci::transport().errorText(code);
    if (text.size() > ReplyBufferSize - 1)
        text.resize(ReplyBufferSize - 1);
    return text;
}

} // namespace

clsMCI::clsMCI() = default;

void clsMCI::AliasName(const std::string &pstrAlias)
{
    mAlias = pstrAlias;
}

void clsMCI::LoadedFilename(const std::string &pstrLoadedFile)
{
    if (pstrLoadedFile.empty()) {
        mShortFileName.clear();
        return;
    }
    mstrLongFileName = pstrLoadedFile;

    std::string shortName;
    const std::size_t length = sys::shortPathName(pstrLoadedFile, shortName);
    mShortFileName = length > 0 ? shortName.substr(0, length) : pstrLoadedFile;

    const std::size_t dot = pstrLoadedFile.rfind('.');
    std::string extension = dot == std::string::npos ? pstrLoadedFile : pstrLoadedFile.substr(dot);
    extension = lowerCased(extension.substr(0, extension.find('\0')));

    const bool dotted = extension.starts_with('.');
    if (const pellin::VideoType *type =
            dotted ? pellin::videoTypeOf(std::string_view(extension).substr(1)) : nullptr) {
        mDeviceType = std::string(type->deviceType);
        mIsASF = type->intro;
    } else {
        // The device type stays that of the previous file: the next open uses it again.
        mIsASF = false;
    }
}

std::string clsMCI::command(const std::string &text)
{
    std::string noReply;
    return resultText(mci::transport().send(text, noReply, 0));
}

std::int32_t clsMCI::numberQuery(const std::string &text)
{
    std::string reply;
    if (mci::transport().send(text, reply, ReplyBufferSize) != 0)
        return -1;
    return leadingNumber(reply);
}

std::string clsMCI::OpenMultimedia(long long plngHwnd)
{
    // Course data names files in any letter case; the engine needs the name as it is on disk.
    const std::string fileName = sys::resolvePath(trimmedBlanks(mShortFileName));
    // Without a known type the engine chooses by extension; an empty "type" would swallow the
    // next keyword.
    const std::string type = mDeviceType.empty() ? "" : " type " + mDeviceType;
    std::string open = "open " + asElement(fileName) + type + " Alias " + mAlias + " parent " +
                       std::to_string(plngHwnd) + " Style " + std::to_string(ChildWindowStyle);
    if (open.size() < OpenCommandWidth)
        open.resize(OpenCommandWidth, ' ');
    command(open);

    const std::string outcome = command("set " + mAlias + " time format ms");
    mTotalTime = GetTotalTime();
    return outcome;
}

std::string clsMCI::SetSpeed(std::int32_t factor)
{
    return command("set " + mAlias + " speed " + std::to_string(factor));
}

std::string clsMCI::PlayMultimedia(std::string pstrFrom, std::string pstrTo)
{
    if (pstrFrom.empty())
        pstrFrom = "0";
    const std::optional<double> to = numberIn(pstrTo);
    if (!to)
        typeMismatch();
    if (*to == 0)
        pstrTo = std::to_string(GetTotalTime());
    std::string outcome = command("play " + mAlias + " from " + pstrFrom + " to " + pstrTo);
    mAwake.hold(outcome == "Success");
    return outcome;
}

std::string clsMCI::CloseMultimedia()
{
    mAwake.hold(false);
    return command("Close " + mAlias);
}

std::string clsMCI::PauseMultimedia()
{
    std::string outcome = command("Pause " + mAlias);
    if (outcome == "Success") {
        mPaused = true;
        mAwake.hold(false);
    }
    return outcome;
}

std::string clsMCI::StopMultimedia()
{
    mAwake.hold(false);
    return command("Stop " + mAlias);
}

std::string clsMCI::ResumeMultimedia()
{
    std::string outcome = command("Resume " + mAlias);
    if (outcome == "Success") {
        mPaused = false;
        mAwake.hold(true);
    }
    return outcome;
}

std::int32_t clsMCI::GetTotalTime()
{
    return numberQuery("status " + mAlias + " length");
}

std::string clsMCI::MoveMultimedia(std::int32_t to_where)
{
    std::string outcome = command("seek " + mAlias + " to " + std::to_string(to_where));
    mAwake.hold(command("Play " + mAlias) == "Success");
    return outcome;
}

bool clsMCI::ReadFailed()
{
    std::string reply;
    constexpr unsigned kFileRead = 348;
    return !mAlias.empty() &&
           mci::transport().send("status " + mAlias + " mode", reply, ReplyBufferSize) == kFileRead;
}

std::int32_t clsMCI::GetCurrentMultimediaPos()
{
    return numberQuery("status " + mAlias + " position");
}

std::string clsMCI::PutMultimedia(long long plngHwnd, int left, int top, int &width, int &height)
{
    if (width == 0 || height == 0) {
        // Leaves a margin inside the window's frame, as the video always had.
        const QRect frame = toolkit::windowRect(plngHwnd);
        width = frame.width() - 2;
        height = frame.height() - 4;
    }
    return command("put " + mAlias + " window at " + std::to_string(left) + " " +
                   std::to_string(top) + " " + std::to_string(width) + " " +
                   std::to_string(height));
}

std::string clsMCI::PutMultimedia(long long plngHwnd, int left, int top, int &&width, int &&height)
{
    return PutMultimedia(plngHwnd, left, top, width, height);
}

std::string clsMCI::PutFullScreen()
{
    return command("play " + mAlias + " fullscreen");
}

std::int32_t clsMCI::GetSize(const std::string &pstrXorY)
{
    const std::string axis = lowerCased(pstrXorY);
    if (axis != "cx" && axis != "cy")
        return -1;

    std::string reply;
    if (mci::transport().send("Where " + mAlias + " destination", reply, ReplyBufferSize) != 0)
        return -1;

    // "left top width height": the width lies between the second and third blank, the
    // height after the third.
    const std::size_t first = reply.find(' ');
    const std::size_t second = first == std::string::npos ? first : reply.find(' ', first + 1);
    const std::size_t third = second == std::string::npos ? second : reply.find(' ', second + 1);
    if (third == std::string::npos)
        typeMismatch();
    return axis == "cx" ? wholeNumberIn(reply.substr(second, third - second))
                        : wholeNumberIn(reply.substr(third + 1));
}

std::string clsMCI::CloseAll()
{
    mAwake.hold(false);
    return command("Close All");
}

bool clsMCI::AreMultimediaAtEnd(std::int32_t &lastFrame)
{
    if (lastFrame == 0)
        lastFrame = GetTotalTime();
    const std::int32_t position = GetCurrentMultimediaPos();
    return lastFrame != -1 && position != -1 && position >= lastFrame;
}

bool clsMCI::AreMultimediaAtEnd(std::int32_t &&lastFrame)
{
    return AreMultimediaAtEnd(lastFrame);
}

void clsMCI::SetDefaultDevice(const std::string &pstrDeviceType, const std::string &pstrDefDevice)
{
    // Whether the entry could be written does not matter to anyone: nothing reads it back.
    sys::writeProfileString("MCI", pstrDeviceType, pstrDefDevice,
                            sys::windowsFolder() + "/system.ini");
}
