#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sys
{

// What a save does when the target's name is a symbolic link.
enum class Links {
    Follow,  // the file the link points to is replaced; the link stays as it is
    Replace, // the link itself gives way to the new file; nothing is written through it
};

struct SaveOptions {
    // Permission bits of the new file. Without them the new file takes the bits of the file it
    // replaces, and a file that did not exist gets 0666 less the umask, as any new file does.
    std::optional<unsigned> mode;
    Links links = Links::Follow;
};

// How a save ended: the errno of the step that failed, 0 when the target holds the new bytes.
struct SaveResult {
    int error = 0;

    explicit operator bool() const { return error == 0; }
    // The target's folder, or a folder on the way to it, does not exist.
    bool folderMissing() const;
    // The system's text for the error, for messages.
    std::string message() const;
};

// Replaces the file `path` with `bytes`, whole or not at all. The bytes go into a new file
// beside the target, are flushed to the disk and only then renamed over the target, so that
// neither a failure (a full disk, the file-size limit, a folder that cannot be written) nor a
// crash half-way leaves the target cut short: on any failure the old file is as it was and the
// temporary file is gone. A target the caller may not write (no write permission), a folder
// and anything but a plain file or a link is refused, as an in-place save would refuse it.
// A write beyond the process's file-size limit fails with EFBIG instead of ending the process.
SaveResult saveFile(const std::string &path, std::string_view bytes,
                    const SaveOptions &options = {});

} // namespace sys
