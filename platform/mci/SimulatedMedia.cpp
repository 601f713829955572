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
    explicit SimulatedEngine(SimulatedMedia &media) : mMedia(&media)
    {
        media.mEngines.push_back(this);
    }

    ~SimulatedEngine() override
    {
        auto &engines = mMedia->mEngines;
        engines.erase(std::remove(engines.begin(), engines.end(), this), engines.end());
        delete mWidget.data();
    }

    unsigned open(const QString &file, QWidget *parent, bool mpegDevice) override
    {
        const SimulatedMedia::Script *script = mMedia->find(file);
        if (!script)
            return error::FileNotFound;
        if (!script->playable)
            return mpegDevice ? error::Internal : error::InvalidFile;
        mLength = script->length;
        mSize = script->size;
        if (parent) {
            mWidget = new QWidget(parent);
            mWidget->setObjectName(QStringLiteral("mciVideo"));
            mWidget->setAutoFillBackground(true);
            QPalette palette = mWidget->palette();
            palette.setColor(QPalette::Window, Qt::black);
            mWidget->setPalette(palette);
            mWidget->hide();
        }
        return error::None;
    }

    qint64 length() override { return mLength; }
    qint64 position() override { return mPosition; }
    Mode mode() override { return mMode; }
    QSize videoSize() override { return mSize; }

    void play(std::optional<qint64> from, std::optional<qint64> to) override
    {
        if (from)
            mPosition = *from;
        mEnd = to.value_or(mLength);
        mMode = mPosition < mEnd ? Mode::Playing : Mode::Stopped;
    }
    void pause() override { mMode = Mode::Paused; }
    void resume() override { mMode = Mode::Playing; }
    void stop() override { mMode = Mode::Stopped; }
    void seek(qint64 position) override
    {
        mPosition = position;
        mMode = Mode::Stopped;
    }
    void setSpeed(double rate) override { mSpeed = rate; }
    void setVolume(int thousandths) override { mVolume = thousandths; }
    int volume() override { return mVolume; }
    QWidget *videoWidget() override { return mWidget.data(); }
    void setDestination(const QRect &rect) override { mDestination = rect; }
    QRect destination() const override { return mDestination; }

    void advance(qint64 ms)
    {
        if (mMode != Mode::Playing)
            return;
        mPosition = std::min(mPosition + std::llround(ms * mSpeed), mEnd);
        if (mPosition >= mEnd)
            mMode = Mode::Stopped;
    }

  private:
    SimulatedMedia *mMedia;
    QPointer<QWidget> mWidget;
    qint64 mLength = 0;
    QSize mSize;
    qint64 mPosition = 0;
    qint64 mEnd = 0;
    Mode mMode = Mode::Stopped;
    double mSpeed = 1;
    int mVolume = 1000;
    QRect mDestination;
};

SimulatedMedia::SimulatedMedia() = default;

SimulatedMedia::~SimulatedMedia()
{
    if (interpreter().engineFactory() == this)
        useLibmpvEngine();
    // Devices still open from this script would outlive it: close them too.
    if (!mEngines.empty())
        interpreter().closeAll();
}

void SimulatedMedia::addFile(const QString &path, qint64 lengthMs, QSize size)
{
    mFiles.insert(path.toLower(), Script{lengthMs, size, true});
}

void SimulatedMedia::addUnplayableFile(const QString &path)
{
    mFiles.insert(path.toLower(), Script{0, {}, false});
}

void SimulatedMedia::advance(qint64 ms)
{
    mElapsed += ms;
    for (SimulatedEngine *engine : mEngines)
        engine->advance(ms);
}

QList<int> SimulatedMedia::volumes() const
{
    QList<int> each;
    for (SimulatedEngine *engine : mEngines)
        each << engine->volume();
    return each;
}

std::unique_ptr<Engine> SimulatedMedia::create()
{
    return std::make_unique<SimulatedEngine>(*this);
}

const SimulatedMedia::Script *SimulatedMedia::find(const QString &path) const
{
    const auto it = mFiles.constFind(path.toLower());
    return it == mFiles.constEnd() ? nullptr : &*it;
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
