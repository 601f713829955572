#include "mci/SimulatedMedia.h"

#include "mci/ErrorCodes.h"
#include "mci/Interpreter.h"

#include <QPalette>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace mci
{

class SimulatedEngine final : public Engine
{
  public:
    explicit SimulatedEngine(SimulatedMedia &media) : media_(&media)
    {
        media.engines_.push_back(this);
    }

    ~SimulatedEngine() override
    {
        auto &engines = media_->engines_;
        engines.erase(std::remove(engines.begin(), engines.end(), this), engines.end());
        delete widget_.data();
    }

    unsigned open(const QString &file, QWidget *parent, bool mpegDevice) override
    {
        const SimulatedMedia::Script *script = media_->find(file);
        if (!script)
            return error::FileNotFound;
        if (!script->playable)
            return mpegDevice ? error::Internal : error::InvalidFile;
        length_ = script->length;
        size_ = script->size;
        if (parent) {
            widget_ = new QWidget(parent);
            widget_->setObjectName(QStringLiteral("mciVideo"));
            widget_->setAutoFillBackground(true);
            QPalette palette = widget_->palette();
            palette.setColor(QPalette::Window, Qt::black);
            widget_->setPalette(palette);
            widget_->hide();
        }
        return error::None;
    }

    qint64 length() override { return length_; }
    qint64 position() override { return position_; }
    Mode mode() override { return mode_; }
    QSize videoSize() override { return size_; }

    void play(std::optional<qint64> from, std::optional<qint64> to) override
    {
        if (from)
            position_ = *from;
        end_ = to.value_or(length_);
        mode_ = position_ < end_ ? Mode::Playing : Mode::Stopped;
    }
    void pause() override { mode_ = Mode::Paused; }
    void resume() override { mode_ = Mode::Playing; }
    void stop() override { mode_ = Mode::Stopped; }
    void seek(qint64 position) override
    {
        position_ = position;
        mode_ = Mode::Stopped;
    }
    void setSpeed(double rate) override { speed_ = rate; }
    void setVolume(int thousandths) override { volume_ = thousandths; }
    int volume() override { return volume_; }
    QWidget *videoWidget() override { return widget_.data(); }
    void setDestination(const QRect &rect) override { destination_ = rect; }
    QRect destination() const override { return destination_; }

    void advance(qint64 ms)
    {
        if (mode_ != Mode::Playing)
            return;
        position_ = std::min(position_ + std::llround(ms * speed_), end_);
        if (position_ >= end_)
            mode_ = Mode::Stopped;
    }

  private:
    SimulatedMedia *media_;
    QPointer<QWidget> widget_;
    qint64 length_ = 0;
    QSize size_;
    qint64 position_ = 0;
    qint64 end_ = 0;
    Mode mode_ = Mode::Stopped;
    double speed_ = 1;
    int volume_ = 1000;
    QRect destination_;
};

SimulatedMedia::SimulatedMedia() = default;

SimulatedMedia::~SimulatedMedia()
{
    if (interpreter().engineFactory() == this)
        useLibmpvEngine();
    // Devices still open from this script would outlive it: close them too.
    if (!engines_.empty())
        interpreter().closeAll();
}

void SimulatedMedia::addFile(const QString &path, qint64 lengthMs, QSize size)
{
    files_.insert(path.toLower(), Script{lengthMs, size, true});
}

void SimulatedMedia::addUnplayableFile(const QString &path)
{
    files_.insert(path.toLower(), Script{0, {}, false});
}

void SimulatedMedia::advance(qint64 ms)
{
    elapsed_ += ms;
    for (SimulatedEngine *engine : engines_)
        engine->advance(ms);
}

QList<int> SimulatedMedia::volumes() const
{
    QList<int> each;
    for (SimulatedEngine *engine : engines_)
        each << engine->volume();
    return each;
}

std::unique_ptr<Engine> SimulatedMedia::create()
{
    return std::make_unique<SimulatedEngine>(*this);
}

const SimulatedMedia::Script *SimulatedMedia::find(const QString &path) const
{
    const auto it = files_.constFind(path.toLower());
    return it == files_.constEnd() ? nullptr : &*it;
}

void useSimulatedEngine(SimulatedMedia &media)
{
    interpreter().closeAll();
    interpreter().setEngineFactory(&media);
}

void useLibmpvEngine()
{
    interpreter().closeAll();
    interpreter().setEngineFactory(nullptr);
}

} // namespace mci
