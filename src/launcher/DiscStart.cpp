// The disc's PellinStart: a first program that links only the system's C++ and xz libraries, so
// that a start whose runtime is installed reads no toolkit library from the slow disc. It chooses
// the runtime (installing it on a new user's first start), then runs the launcher from the disc's
// "bin" folder, whose libraries then load from the user's copy.
#include "launcher/RuntimeStart.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

int main(int, char **argv)
{
    std::string current(4096, '\0');
    if (!::getcwd(current.data(), current.size())) {
        std::fprintf(stderr, "The course player cannot be started: %s.\n", std::strerror(errno));
        return 1;
    }
    current.resize(std::strlen(current.c_str()));
    // The course is expected in the current folder, as the launcher expects it.
    const std::string bin = current == "/" ? "/bin" : current + "/bin";
    launcher::prepareRuntime(bin);
    std::string program = bin + "/PellinStart";
    argv[0] = program.data();
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "The course player cannot be started: %s: %s.\n", program.c_str(),
                 std::strerror(errno));
    return 1;
}
