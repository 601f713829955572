#include "mci/LibmpvEngine.h"

#include "mci/EngineModule.h"
#include "system/RuntimeCache.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <dlfcn.h>

#include <cstddef>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace mci
{
namespace
{

constexpr char kModuleFile[] = "pellin-libmpv.so";

struct LoadedModule {
    EngineModuleEntry entry = nullptr;
    std::string failure;
};

// The folders the dynamic loader searches for the program's own libraries (its run path among
// them), each as an absolute path. A loader that another library wraps (a sanitizer's dlopen)
// searches its own run path instead of the program's; naming the file in full finds it anyway.
std::vector<std::filesystem::path> programSearchPath()
{
    std::vector<std::filesystem::path> folders;
    void *program = dlopen(nullptr, RTLD_NOW | RTLD_NOLOAD);
    if (!program)
        return folders;
    Dl_serinfo size{};
    if (dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0 && size.dls_size > 0) {
        std::vector<std::max_align_t> room(size.dls_size / sizeof(std::max_align_t) + 1);
        auto *info = reinterpret_cast<Dl_serinfo *>(room.data());
        info->dls_size = size.dls_size;
        info->dls_cnt = size.dls_cnt;
        if (dlinfo(program, RTLD_DI_SERINFO, info) == 0)
            for (unsigned i = 0; i < info->dls_cnt; ++i)
                if (info->dls_serpath[i].dls_name && info->dls_serpath[i].dls_name[0] == '/')
                    folders.emplace_back(info->dls_serpath[i].dls_name);
    }
    dlclose(program);
    return folders;
}

// Where the module may be, relative to the program: in the user's installed copy of the course
// disc's runtime when it is whole (its libraries then come from there too), beside the program
// in lib/ (the disc's bundle), in its installed folder, and in the folders of the program's run
// path (the build tree), first named in full, then by name.
std::vector<std::string> moduleCandidates()
{
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    std::vector<std::string> candidates;
    if (!failed) {
        const std::filesystem::path folder = program.parent_path();
        const std::string installed = sys::installedRuntime(folder.string());
        if (!installed.empty())
            candidates.push_back(std::filesystem::path(installed) / "lib" / kModuleFile);
        candidates.push_back(folder / "lib" / kModuleFile);
        candidates.push_back(folder / PELLIN_ENGINE_MODULE_FROM_PROGRAM / kModuleFile);
    }
    for (const std::filesystem::path &folder : programSearchPath())
        candidates.push_back(folder / kModuleFile);
    candidates.emplace_back(kModuleFile);
    return candidates;
}

// Runs on whichever thread loads: everything here is the dynamic loader's work.
LoadedModule loadModule(const std::vector<std::string> &candidates)
{
    LoadedModule loaded;
    for (const std::string &candidate : candidates) {
        const bool byName = candidate.find('/') == std::string::npos;
        if (!byName && !std::filesystem::exists(candidate))
            continue;
        // The module stays for the life of the process: its engines may run until the end.
        void *handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            loaded.failure = dlerror();
            continue;
        }
        loaded.entry = reinterpret_cast<EngineModuleEntry>(dlsym(handle, kEngineModuleEntry));
        if (loaded.entry)
            return loaded;
        loaded.failure = candidate + " has no " + kEngineModuleEntry;
    }
    if (loaded.failure.empty())
        loaded.failure = std::string(kModuleFile) + " was not found";
    return loaded;
}

struct LoaderState {
    std::shared_future<LoadedModule> loading;
    EngineModule *module = nullptr;
    bool failed = false;
    std::optional<QString> audioOutput;
};

LoaderState &state()
{
    static LoaderState instance;
    return instance;
}

void startLoading(std::launch where)
{
    LoaderState &loader = state();
    if (!loader.loading.valid())
        loader.loading = std::async(where, loadModule, moduleCandidates()).share();
}

// Starts the load once the window's first paint is over.
class FirstPaintWatch final : public QObject
{
  public:
    explicit FirstPaintWatch(QWidget &window) : QObject(&window)
    {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, [] { startLoading(std::launch::async); });
            deleteLater();
        }
        return false;
    }
};

} // namespace

EngineFactory *libmpvEngine()
{
    LoaderState &loader = state();
    if (loader.module || loader.failed)
        return loader.module;
    startLoading(std::launch::deferred);
    const LoadedModule &loaded = loader.loading.get();
    if (loaded.entry)
        loader.module = loaded.entry(kEngineModuleVersion);
    if (!loader.module) {
        loader.failed = true;
        qWarning("The media engine cannot be loaded: %s",
                 loaded.entry ? "the module belongs to another build" : loaded.failure.c_str());
        return nullptr;
    }
    if (loader.audioOutput)
        loader.module->setAudioOutput(*loader.audioOutput);
    return loader.module;
}

EngineFactory *loadedLibmpvEngine()
{
    return state().module;
}

void loadLibmpvEngineAfterFirstPaint(QWidget &window)
{
    new FirstPaintWatch(window); // owned by the window, gone after the first paint
}

void setAudioOutput(const QString &output)
{
    LoaderState &loader = state();
    loader.audioOutput = output;
    if (loader.module)
        loader.module->setAudioOutput(output);
}

void resetAudioOutput()
{
    LoaderState &loader = state();
    if (!loader.audioOutput)
        return;
    loader.audioOutput.reset();
    if (loader.module)
        loader.module->setAudioOutput({});
}

} // namespace mci
