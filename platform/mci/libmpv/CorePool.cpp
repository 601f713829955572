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
    parkedTimer_.setSingleShot(true);
    parkedTimer_.setInterval(kParkedMs);
    connect(&parkedTimer_, &QTimer::timeout, this, &CorePool::releaseParked);
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(kIdleMs);
    connect(&idleTimer_, &QTimer::timeout, this, [this] { end(std::move(idle_)); });
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
    parked_ = std::move(device);
    parkedTimer_.start();
}

std::optional<ParkedDevice> CorePool::adopt(const QByteArray &path, bool drawsPicture)
{
    if (!parked_ || parked_->path != path || parked_->core->drawsPicture() != drawsPicture)
        return std::nullopt;
    parkedTimer_.stop();
    std::optional<ParkedDevice> device = std::move(parked_);
    parked_.reset();
    return device;
}

std::unique_ptr<Core> CorePool::takeIdle(bool drawsPicture)
{
    releaseParked();
    if (!idle_ || idle_->drawsPicture() != drawsPicture)
        return nullptr;
    idleTimer_.stop();
    return std::move(idle_);
}

std::unique_ptr<Core> CorePool::take(bool drawsPicture)
{
    if (std::unique_ptr<Core> core = takeIdle(drawsPicture))
        return core;
    return Core::create(drawsPicture, audioOutput_);
}

void CorePool::releaseAll()
{
    parkedTimer_.stop();
    idleTimer_.stop();
    if (parked_) {
        delete parked_->widget.data();
        end(std::move(parked_->core));
        parked_.reset();
    }
    end(std::move(idle_));
    for (std::future<void> &ending : ending_)
        ending.wait();
    ending_.clear();
}

void CorePool::releaseParked()
{
    parkedTimer_.stop();
    if (!parked_)
        return;
    std::optional<ParkedDevice> device = std::move(parked_);
    parked_.reset();
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
    end(std::move(idle_));
    idle_ = std::move(core);
    idleTimer_.start();
}

void CorePool::end(std::unique_ptr<Core> core)
{
    if (!core)
        return;
    std::erase_if(ending_, [](const std::future<void> &ending) {
        return ending.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    ending_.push_back(std::async(std::launch::async, [handles = core->detach()]() mutable {
        handles.render.reset();
        handles.mpv.reset();
    }));
}

} // namespace mci
