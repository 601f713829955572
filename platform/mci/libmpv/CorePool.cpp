#include "mci/libmpv/CorePool.h"

#include "mci/libmpv/VideoWidget.h"

#include <chrono>
#include <utility>

namespace mci
{
namespace
{

// Long enough for a close and an open that follow each other in one handler, short enough that
// a closed video does not linger.
constexpr int kParkedMs = 1000;
// An idle core holds its last file and its threads; the next open within this time reuses it.
constexpr int kIdleMs = 10000;

} // namespace

CorePool::CorePool()
{
    mParkedTimer.setSingleShot(true);
    mParkedTimer.setInterval(kParkedMs);
    connect(&mParkedTimer, &QTimer::timeout, this, &CorePool::releaseParked);
    mIdleTimer.setSingleShot(true);
    mIdleTimer.setInterval(kIdleMs);
    connect(&mIdleTimer, &QTimer::timeout, this, [this] { end(std::move(mIdle)); });
}

CorePool::~CorePool()
{
    releaseAll();
}

void CorePool::park(ParkedDevice device)
{
    releaseParked();
    if (!device.core || device.core->loadFailed()) {
        discardVideoWidget(device.widget);
        keepIdle(std::move(device.core));
        return;
    }
    device.core->setRunning(false, std::nullopt);
    if (device.widget) {
        device.widget->hide();
        device.widget->setParent(nullptr);
    }
    mParked = std::move(device);
    mParkedTimer.start();
}

std::optional<ParkedDevice> CorePool::adopt(const QByteArray &path, bool drawsPicture)
{
    if (!mParked || mParked->path != path || mParked->core->drawsPicture() != drawsPicture)
        return std::nullopt;
    mParkedTimer.stop();
    std::optional<ParkedDevice> device = std::move(mParked);
    mParked.reset();
    return device;
}

std::unique_ptr<Core> CorePool::takeIdle(bool drawsPicture)
{
    releaseParked();
    if (!mIdle || mIdle->drawsPicture() != drawsPicture)
        return nullptr;
    mIdleTimer.stop();
    return std::move(mIdle);
}

std::unique_ptr<Core> CorePool::take(bool drawsPicture)
{
    if (std::unique_ptr<Core> core = takeIdle(drawsPicture))
        return core;
    return Core::create(drawsPicture, mAudioOutput);
}

void CorePool::releaseAll()
{
    mParkedTimer.stop();
    mIdleTimer.stop();
    if (mParked) {
        delete mParked->widget.data();
        end(std::move(mParked->core));
        mParked.reset();
    }
    end(std::move(mIdle));
    for (std::future<void> &ending : mEnding)
        ending.wait();
    mEnding.clear();
}

void CorePool::releaseParked()
{
    mParkedTimer.stop();
    if (!mParked)
        return;
    std::optional<ParkedDevice> device = std::move(mParked);
    mParked.reset();
    device->core->setTarget(nullptr);
    discardVideoWidget(device->widget);
    keepIdle(std::move(device->core));
}

void CorePool::keepIdle(std::unique_ptr<Core> core)
{
    if (!core)
        return;
    if (!core->alive()) {
        end(std::move(core));
        return;
    }
    end(std::move(mIdle));
    mIdle = std::move(core);
    mIdleTimer.start();
}

void CorePool::end(std::unique_ptr<Core> core)
{
    if (!core)
        return;
    std::erase_if(mEnding, [](const std::future<void> &ending) {
        return ending.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    mEnding.push_back(std::async(std::launch::async, [handles = core->detach()]() mutable {
        handles.render.reset();
        handles.mpv.reset();
    }));
}

} // namespace mci
