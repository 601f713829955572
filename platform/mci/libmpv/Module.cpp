// The module's entry: the factory of libmpv devices and the pool they share.
#include "mci/EngineModule.h"
#include "mci/libmpv/CorePool.h"
#include "mci/libmpv/DeviceEngine.h"

#include <QtGlobal>

extern "C" {
#include <libavutil/log.h>
}

namespace mci
{
namespace
{

class LibmpvModule final : public EngineModule
{
  public:
    LibmpvModule()
    {
        mPool.audioOutput() = qEnvironmentVariable("PELLIN_AUDIO_OUTPUT");
        // The engine keeps its messages to itself; so do the demuxers that read the headers.
        av_log_set_level(AV_LOG_QUIET);
    }

    std::unique_ptr<Engine> create() override { return std::make_unique<DeviceEngine>(mPool); }
    void releaseAll() override { mPool.releaseAll(); }
    void setAudioOutput(const QString &output) override { mPool.audioOutput() = output; }

  private:
    CorePool mPool;
};

} // namespace
} // namespace mci

extern "C" Q_DECL_EXPORT mci::EngineModule *pellinEngineModule(int version)
{
    if (version != mci::kEngineModuleVersion)
        return nullptr;
    // Made on the first call, on the GUI thread, and kept for the life of the process.
    static mci::LibmpvModule module;
    return &module;
}
