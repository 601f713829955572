#include "mci/Interpreter.h"

#include "mci/ErrorCodes.h"
#include "mci/ErrorTexts.h"
#include "mci/LibmpvEngine.h"
#include "system/PathResolver.h"
#include "toolkit/WindowHandles.h"

#include <QCoreApplication>
#include <QFile>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace mci
{
namespace
{

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

bool knownType(const std::string &type)
{
    return type == "avivideo" || type == "mpegvideo";
}

// The device type a file extension stands for; empty for an unknown extension.
std::string typeForExtension(const std::string &extension)
{
    static const std::vector<std::string> mpeg{"mpg", "mpeg", "mpe", "m1v",  "m2v", "vob",
                                               "asf", "wmv",  "wma", "mp2",  "mp3", "mp4",
                                               "m4v", "mov",  "mkv", "webm", "ogv", "wav"};
    if (extension == "avi")
        return "avivideo";
    return std::find(mpeg.begin(), mpeg.end(), extension) != mpeg.end() ? "mpegvideo"
                                                                        : std::string{};
}

std::string rectText(const QRect &r)
{
    return std::to_string(r.x()) + ' ' + std::to_string(r.y()) + ' ' + std::to_string(r.width()) +
           ' ' + std::to_string(r.height());
}

void closeAllAtExit()
{
    interpreter().closeAll();
}

} // namespace

Interpreter::Interpreter() = default;

Interpreter::~Interpreter() = default;

void Interpreter::setEngineFactory(EngineFactory *factory)
{
    mFactory = factory;
}

void Interpreter::closeAll()
{
    mDevices.clear();
    // What the engines keep for the next open goes too: nothing plays on after "close all".
    if (mFactory)
        mFactory->releaseAll();
    if (EngineFactory *libmpv = loadedLibmpvEngine())
        libmpv->releaseAll();
}

std::string Interpreter::errorText(unsigned code)
{
    return errorTextFor(code);
}

unsigned Interpreter::send(const std::string &text, std::string &reply, int replySize)
{
    reply.clear();
    const ParseResult parsed = parseCommand(text);
    if (parsed.code != error::None)
        return parsed.code;
    std::string answer;
    const unsigned code = execute(parsed.command, answer);
    if (code != error::None)
        return code;
    // Text replies need somewhere to go; numbers and keywords may be dropped.
    const Verb verb = parsed.command.verb;
    if (replySize <= 0)
        return verb == Verb::Info || verb == Verb::Sysinfo ? error::ParamOverflow : error::None;
    if (answer.size() > static_cast<std::size_t>(replySize - 1))
        return error::ParamOverflow;
    reply = std::move(answer);
    return error::None;
}

Interpreter::Device *Interpreter::find(const std::string &name)
{
    const auto it = std::find_if(mDevices.begin(), mDevices.end(), [&](const auto &device) {
        return equalsIgnoringCase(device->name, name);
    });
    return it == mDevices.end() ? nullptr : it->get();
}

unsigned Interpreter::freeId() const
{
    // The lowest number no open device holds: after "close all" the next device is 1 again.
    unsigned id = 1;
    while (std::any_of(mDevices.begin(), mDevices.end(),
                       [id](const auto &device) { return device->id == id; }))
        ++id;
    return id;
}

unsigned Interpreter::execute(const Command &command, std::string &reply)
{
    if (command.verb == Verb::Open)
        return open(command, reply);
    if (command.verb == Verb::Close)
        return close(command);
    if (command.verb == Verb::Sysinfo)
        return sysinfo(command, reply);
    Device *device = command.all ? nullptr : find(command.device);
    // Without a device there is only the shared command table, which lacks the device's verbs.
    if (!device && command.deviceVerb)
        return error::UnrecognizedCommand;
    if (command.all)
        return everyDevice(command);
    if (!device)
        return error::InvalidDeviceName;
    return execute(command, *device, reply);
}

// The transport commands go to every open device. One answer for all is that answer; devices
// that answer differently make the "several devices failed" error.
unsigned Interpreter::everyDevice(const Command &command)
{
    if (command.verb != Verb::Pause && command.verb != Verb::Resume && command.verb != Verb::Stop)
        return error::CannotUseAll;
    std::optional<unsigned> result;
    for (const auto &device : mDevices) {
        std::string ignored;
        const unsigned code = execute(command, *device, ignored);
        if (result && *result != code)
            return error::Multiple;
        result = code;
    }
    return result.value_or(error::None);
}

unsigned Interpreter::execute(const Command &command, Device &device, std::string &reply)
{
    if (command.verb == Verb::Other || command.unsupported)
        return error::UnsupportedFunction;
    if (command.test)
        return error::None;
    Engine &engine = *device.engine;
    switch (command.verb) {
    case Verb::Play:
        return play(command, device);
    case Verb::Pause:
        if (engine.mode() == Mode::Playing)
            engine.pause();
        return error::None;
    case Verb::Resume:
        switch (engine.mode()) {
        case Mode::Paused:
            engine.resume();
            return error::None;
        case Mode::Playing:
            return error::None;
        case Mode::Stopped:
            return error::NonapplicableFunction;
        }
        return error::None;
    case Verb::Stop:
        engine.stop();
        return error::None;
    case Verb::Seek: {
        const qint64 length = engine.length();
        qint64 target = 0;
        if (command.seek == SeekTarget::End)
            target = length;
        else if (command.seek == SeekTarget::Position)
            target = command.seekPosition;
        if (target > length)
            return error::OutOfRange;
        engine.seek(target);
        return error::None;
    }
    case Verb::Set:
        return set(command, engine);
    case Verb::Setaudio:
        if (command.volume) {
            if (*command.volume > kLoudestVolume)
                return error::OutOfRange;
            engine.setVolume(int(*command.volume));
        }
        return error::None;
    case Verb::Status:
        return status(command, device, reply);
    case Verb::Put:
        return put(command, device);
    case Verb::Where:
        return where(command, device, reply);
    case Verb::Cue:
        return cue(command, device);
    case Verb::Info:
        return info(command, device, reply);
    case Verb::Capability:
        return capability(command, device, reply);
    default:
        return error::UnsupportedFunction;
    }
}

unsigned Interpreter::set(const Command &command, Engine &engine)
{
    if (command.timeFormat && command.timeFormat != TimeFormat::Milliseconds)
        return error::BadTimeFormat;
    if (command.speed) {
        // The engine plays from a hundredth to a hundred times the normal rate.
        if (*command.speed < kSlowestSpeed || *command.speed > kFastestSpeed)
            return error::OutOfRange;
        engine.setSpeed(*command.speed / 1000.0);
    }
    return error::None;
}

unsigned Interpreter::open(const Command &command, std::string &reply)
{
    if (command.all || (command.alias && equalsIgnoringCase(*command.alias, "all")))
        return error::CannotUseAll;
    if (command.alias && command.alias->empty())
        return error::InvalidDeviceName;
    // "new" asks for an empty file to record into, which these players cannot do.
    if (equalsIgnoringCase(command.device, "new"))
        return command.alias ? error::UnsupportedFunction : error::NewRequiresAlias;

    std::string element = command.device;
    std::string type;
    if (command.type) {
        type = lowered(*command.type);
    } else if (const auto bang = element.find('!');
               bang != std::string::npos && element.find('/') > bang && element.find('\\') > bang) {
        type = lowered(element.substr(0, bang));
        element = element.substr(bang + 1);
        if (element.empty())
            return error::InvalidDeviceName;
    } else {
        const std::size_t slash = element.find_last_of("/\\");
        const std::size_t dot = element.find_last_of('.');
        if (slash == std::string::npos && dot == std::string::npos) {
            // A bare word is a device type; a device without a file is not offered here.
            return knownType(lowered(element)) ? error::UnsupportedFunction
                                               : error::InvalidDeviceName;
        }
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            return error::ExtensionNotFound;
        type = typeForExtension(lowered(element.substr(dot + 1)));
        if (type.empty())
            return error::ExtensionNotFound;
    }
    if (!knownType(type))
        return error::InvalidDeviceName;

    const std::string name = command.alias ? *command.alias : command.device;
    if (find(name))
        return command.alias ? error::DuplicateAlias : error::DeviceOpen;

    QWidget *parent = nullptr;
    if (command.parent && *command.parent != 0) {
        parent = toolkit::widgetOf(static_cast<long long>(*command.parent));
        if (!parent)
            return error::NoWindow;
    }
    if (command.test)
        return error::None;

    EngineFactory *factory = mFactory ? mFactory : libmpvEngine();
    if (!factory)
        return error::DeviceNotInstalled;
    auto device = std::make_unique<Device>();
    device->engine = factory->create();
    // Course data names files in any letter case: the engine gets the name as it is on disk.
    const unsigned code = device->engine->open(
        QFile::decodeName(QByteArray::fromStdString(sys::resolvePath(element))), parent,
        type == "mpegvideo");
    if (code != error::None)
        return code;
    if (QWidget *widget = device->engine->videoWidget())
        widget->setGeometry(QRect(QPoint(0, 0), device->engine->videoSize()));

    static bool cleanupRegistered = false;
    if (!cleanupRegistered && QCoreApplication::instance()) {
        // Devices own widgets and engine threads: end them while the application still exists.
        qAddPostRoutine(closeAllAtExit);
        cleanupRegistered = true;
    }
    device->id = freeId();
    device->name = name;
    device->file = element;
    device->type = type;
    reply = std::to_string(device->id);
    mDevices.push_back(std::move(device));
    return error::None;
}

unsigned Interpreter::close(const Command &command)
{
    if (command.all) {
        if (!command.test)
            closeAll();
        return error::None;
    }
    const auto it = std::find_if(mDevices.begin(), mDevices.end(), [&](const auto &device) {
        return equalsIgnoringCase(device->name, command.device);
    });
    if (it == mDevices.end())
        return error::InvalidDeviceName;
    if (!command.test)
        mDevices.erase(it);
    return error::None;
}

unsigned Interpreter::play(const Command &command, Device &device)
{
    // Waiting here would freeze the program's only thread for the length of the video.
    if (command.wait)
        return error::UnsupportedFunction;
    Engine &engine = *device.engine;
    const qint64 length = engine.length();
    if ((command.from && *command.from > length) || (command.to && *command.to > length))
        return error::OutOfRange;
    const qint64 from = command.from ? qint64(*command.from) : engine.position();
    const qint64 to = command.to ? qint64(*command.to) : length;
    if (from > to)
        return error::OutOfRange;
    if (QWidget *widget = engine.videoWidget())
        widget->show();
    if (from == to) {
        engine.seek(to);
        return error::None;
    }
    engine.play(command.from ? std::optional<qint64>(from) : std::nullopt,
                command.to ? std::optional<qint64>(to) : std::nullopt);
    return error::None;
}

// Prepares to play: only a device that is not playing or paused can be cued; "to" moves there.
unsigned Interpreter::cue(const Command &command, Device &device)
{
    Engine &engine = *device.engine;
    if (engine.mode() != Mode::Stopped)
        return error::NonapplicableFunction;
    if (command.to) {
        if (*command.to > engine.length())
            return error::OutOfRange;
        engine.seek(*command.to);
    }
    return error::None;
}

unsigned Interpreter::status(const Command &command, Device &device, std::string &reply)
{
    Engine &engine = *device.engine;
    // A video file is one track.
    if (command.track && *command.track != 1)
        return error::OutOfRange;
    // A device whose file could not be read on answers nothing of its play but that.
    engine.mode();
    if (engine.readFailed() &&
        (*command.item == StatusItem::Mode || *command.item == StatusItem::Position))
        return error::FileRead;
    switch (*command.item) {
    case StatusItem::Length:
        reply = std::to_string(engine.length());
        return error::None;
    case StatusItem::Position:
        reply = std::to_string(engine.position());
        return error::None;
    case StatusItem::Mode:
        switch (engine.mode()) {
        case Mode::Playing:
            reply = "playing";
            break;
        case Mode::Paused:
            reply = "paused";
            break;
        case Mode::Stopped:
            reply = "stopped";
            break;
        }
        return error::None;
    case StatusItem::Ready:
    case StatusItem::MediaPresent:
        reply = "true";
        return error::None;
    case StatusItem::TimeFormat:
        reply = "milliseconds";
        return error::None;
    case StatusItem::NumberOfTracks:
    case StatusItem::CurrentTrack:
        reply = "1";
        return error::None;
    case StatusItem::StartPosition:
        reply = "0";
        return error::None;
    case StatusItem::WindowHandle:
        if (!engine.videoWidget())
            return error::NoWindow;
        reply = std::to_string(toolkit::handleOf(engine.videoWidget()));
        return error::None;
    case StatusItem::WindowVisible:
        if (!engine.videoWidget())
            return error::NoWindow;
        reply = engine.videoWidget()->isVisible() ? "true" : "false";
        return error::None;
    case StatusItem::Volume:
        reply = std::to_string(engine.volume());
        return error::None;
    case StatusItem::Unsupported:
        return error::UnsupportedFunction;
    }
    return error::UnsupportedFunction;
}

unsigned Interpreter::put(const Command &command, Device &device)
{
    Engine &engine = *device.engine;
    if (command.area != Area::Window && command.area != Area::Destination)
        return error::UnsupportedFunction;
    if (command.rect && (command.rect->width < 0 || command.rect->height < 0))
        return error::OutOfRange;
    QWidget *widget = engine.videoWidget();
    if (!widget)
        return error::NoWindow;
    switch (command.area) {
    case Area::Window:
        if (!command.rect) {
            widget->resize(engine.videoSize());
            widget->show();
        } else if (command.rect->width == 0 && command.rect->height == 0) {
            widget->move(command.rect->x, command.rect->y);
        } else {
            widget->setGeometry(command.rect->x, command.rect->y, command.rect->width,
                                command.rect->height);
        }
        return error::None;
    case Area::Destination:
        engine.setDestination(command.rect ? QRect(command.rect->x, command.rect->y,
                                                   command.rect->width, command.rect->height)
                                           : QRect());
        device.destinationIsWindow = !command.rect;
        return error::None;
    default:
        return error::UnsupportedFunction;
    }
}

unsigned Interpreter::where(const Command &command, Device &device, std::string &reply)
{
    Engine &engine = *device.engine;
    const QSize size = engine.videoSize();
    switch (command.area) {
    case Area::Source:
    case Area::Destination:
        if (size.isEmpty())
            return error::NoWindow;
        if (command.area == Area::Destination && !engine.destination().isEmpty()) {
            reply = rectText(engine.destination());
            return error::None;
        }
        // The whole window, as the picture is drawn.
        if (command.area == Area::Destination && device.destinationIsWindow &&
            engine.videoWidget()) {
            reply = rectText(engine.videoWidget()->rect());
            return error::None;
        }
        reply = rectText(QRect(QPoint(0, 0), size));
        return error::None;
    case Area::Window:
        if (!engine.videoWidget())
            return error::NoWindow;
        reply = rectText(engine.videoWidget()->geometry());
        return error::None;
    default:
        return error::UnsupportedFunction;
    }
}

} // namespace mci
