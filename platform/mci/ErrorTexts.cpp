#include "mci/ErrorTexts.h"

#include <array>
#include <utility>

namespace mci
{
namespace
{

using Entry = std::pair<unsigned, const char *>;

constexpr std::array kTexts{
    Entry{257, "The device ID is not one that an open command returned."},
    Entry{259, "The command contains a keyword that the device does not know."},
    Entry{261, "The command verb is not known."},
    Entry{262, "The media device has a problem."},
    Entry{263, "The device is not open, or its name is not known."},
    Entry{264, "There is not enough memory for this command."},
    Entry{265, "This device name is already used by an open device; give an alias."},
    Entry{266, "The device driver could not be loaded."},
    Entry{267, "No command was given."},
    Entry{268, "The reply does not fit into the reply buffer."},
    Entry{269, "A keyword of the command needs a text value."},
    Entry{270, "An integer value of the command is missing or invalid."},
    Entry{271, "The device returned a reply of an unknown kind."},
    Entry{272, "The device driver has a problem."},
    Entry{273, "The command needs a parameter that is missing."},
    Entry{274, "The device does not support this command."},
    Entry{275, "The file cannot be found."},
    Entry{276, "The device is not ready."},
    Entry{277, "The media engine could not render this file."},
    Entry{278, "The device failed and was closed."},
    Entry{279, "\"all\" cannot be used as the device name of this command."},
    Entry{280, "Several devices failed, each with a different error."},
    Entry{281, "No device type is known for this file extension."},
    Entry{282, "A value of the command is out of range."},
    Entry{284, "The command combines parameters that cannot be used together."},
    Entry{286, "The file could not be saved."},
    Entry{287, "The device cannot be found; give a device type."},
    Entry{288, "The device is being closed."},
    Entry{289, "This alias is already used by an open device."},
    Entry{290, "A value of the command is not valid for this command."},
    Entry{291, "The device is in use; every open of it needs \"shareable\"."},
    Entry{292, "The command needs an alias, a file name or a device name."},
    Entry{293, "The time format is not supported by this device."},
    Entry{294, "A closing double quote is missing."},
    Entry{295, "The command gives a parameter twice."},
    Entry{296, "The file cannot be played: it is corrupt or of an unknown format."},
    Entry{297, "The command has no parameters where some are needed."},
    Entry{298, "An unnamed file cannot be saved; give a file name."},
    Entry{299, "\"new\" needs an alias."},
    Entry{300, "\"notify\" cannot be used with a device that was opened automatically."},
    Entry{301, "This device takes no file name."},
    Entry{302, "The command cannot be carried out in the device's present state."},
    Entry{303, "This command is not allowed for a device that was opened automatically."},
    Entry{304, "The file name is invalid."},
    Entry{305, "A closing double quote must be followed by a blank or the end."},
    Entry{306, "The device is not installed."},
    Entry{307, "The file or device cannot be accessed."},
    Entry{308, "The folder cannot be changed."},
    Entry{309, "The drive cannot be changed."},
    Entry{310, "The device or driver name is too long."},
    Entry{311, "The device or driver name is too long."},
    Entry{312, "The command needs an integer value."},
    Entry{346, "The device has no display window."},
    Entry{347, "The display window could not be created or used."},
    Entry{348, "The file cannot be read."},
    Entry{349, "The file cannot be written."},
};

} // namespace

std::string errorTextFor(unsigned code)
{
    for (const auto &[number, text] : kTexts)
        if (number == code)
            return text;
    return {};
}

} // namespace mci
