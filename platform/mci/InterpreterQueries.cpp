// The questions a program asks about devices rather than of them: info, capability, sysinfo.
#include "mci/ErrorCodes.h"
#include "mci/Interpreter.h"

#include <QWidget>

#include <algorithm>
#include <array>
#include <string_view>

namespace mci
{
namespace
{

// The drivers this layer offers, by the names they are installed under.
constexpr std::array<std::string_view, 2> kInstalledDevices{"AVIVideo", "MPEGVideo"};

std::string installName(const std::string &type)
{
    for (std::string_view name : kInstalledDevices)
        if (equalsIgnoringCase(name, type))
            return std::string(name);
    return type;
}

// The device classes sysinfo can be asked about; both drivers here are digital video.
constexpr std::array<std::string_view, 11> kDeviceClasses{
    "vcr",       "videodisc",    "overlay", "cdaudio",   "dat",      "scanner",
    "animation", "digitalvideo", "other",   "waveaudio", "sequencer"};

bool isDeviceClass(const std::string &name)
{
    return std::any_of(
        kDeviceClasses.begin(), kDeviceClasses.end(),
        [&](std::string_view candidate) { return equalsIgnoringCase(candidate, name); });
}

const char *yesNo(bool value)
{
    return value ? "true" : "false";
}

} // namespace

unsigned Interpreter::info(const Command &command, Device &device, std::string &reply)
{
    switch (*command.info) {
    case InfoItem::File:
        reply = device.file;
        return error::None;
    case InfoItem::Product:
        reply = installName(device.type);
        return error::None;
    case InfoItem::Version:
        reply = "1.1";
        return error::None;
    case InfoItem::WindowText:
        if (!device.engine->videoWidget())
            return error::NoWindow;
        reply = device.engine->videoWidget()->windowTitle().toStdString();
        return error::None;
    case InfoItem::Unsupported:
        return error::UnsupportedFunction;
    }
    return error::UnsupportedFunction;
}

unsigned Interpreter::capability(const Command &command, Device &device, std::string &reply)
{
    switch (*command.capability) {
    case CapabilityItem::CanPlay:
    case CapabilityItem::UsesFiles:
    case CapabilityItem::CompoundDevice:
    case CapabilityItem::CanStretch:
    case CapabilityItem::CanTest:
        reply = yesNo(true);
        return error::None;
    case CapabilityItem::HasVideo:
        reply = yesNo(!device.engine->videoSize().isEmpty());
        return error::None;
    case CapabilityItem::CanRecord:
    case CapabilityItem::CanSave:
    case CapabilityItem::CanEject:
    case CapabilityItem::CanLock:
    case CapabilityItem::CanReverse:
    case CapabilityItem::CanStretchInput:
    case CapabilityItem::CanFreeze:
    case CapabilityItem::CanColorkey:
    case CapabilityItem::HasStill:
    case CapabilityItem::UsesPalettes:
        reply = yesNo(false);
        return error::None;
    case CapabilityItem::DeviceType:
        reply = "digitalvideo";
        return error::None;
    case CapabilityItem::Windows:
        reply = "1";
        return error::None;
    case CapabilityItem::Unsupported:
        return error::UnsupportedFunction;
    }
    return error::UnsupportedFunction;
}

// "all" asks about every installed driver (or open device); a device class about those of that
// class. A driver's own name or an alias is no class: the answer is that a type is needed,
// except for installname, which names the driver of an open device.
unsigned Interpreter::sysinfo(const Command &command, std::string &reply)
{
    if (*command.sysinfo == SysinfoItem::InstallName) {
        if (command.all)
            return error::CannotUseAll;
        const Device *device = find(command.device);
        if (!device)
            return error::InvalidDeviceName;
        reply = installName(device->type);
        return error::None;
    }
    std::vector<std::string> names;
    if (command.all || equalsIgnoringCase(command.device, "digitalvideo")) {
        if (command.openDevices) {
            for (const auto &device : mDevices)
                names.push_back(device->name);
        } else if (command.all) {
            names.assign(kInstalledDevices.begin(), kInstalledDevices.end());
        }
    } else if (!isDeviceClass(command.device)) {
        return error::DeviceTypeRequired;
    }
    if (*command.sysinfo == SysinfoItem::Quantity) {
        reply = std::to_string(names.size());
        return error::None;
    }
    if (command.number == 0 || command.number > names.size())
        return error::OutOfRange;
    reply = names[command.number - 1];
    return error::None;
}

} // namespace mci
