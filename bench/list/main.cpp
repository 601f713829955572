// The playlist holding 100,000 rows: "Open" of a playlist file, a header click and the colour
// pass of the first entry played after it, and the memory the rows take. Reference: a minimal
// keyed model of the same rows (key, title, length, colour) in a QTreeView of the same size,
// filled in one insertion, sorted by the same folded text and recoloured row by row.
#include "BenchSupport.h"

#include "common/ListFile.h"
#include "failure/Failure.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QColor>
#include <QSet>
#include <QTemporaryDir>
#include <QTreeView>

#include <malloc.h>

#include <memory>

namespace
{

constexpr int Entries = 100000;
constexpr int Runs = 7;
constexpr std::uint32_t White = 0x00FFFFFF;
constexpr std::uint32_t Grey = 0x8000000B;
constexpr std::uint32_t Yellow = 0x0000FFFF;

bool isIntro(QStringView key)
{
    return key.right(3).trimmed().compare(QLatin1String("asf"), Qt::CaseInsensitive) == 0;
}

class ReferenceModel : public QAbstractTableModel
{
  public:
    struct Row {
        QString key;
        QString title;
        QString length;
        std::uint32_t colour;
    };

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(mRows.size());
    }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const Row &row = mRows[std::size_t(index.row())];
        if (role == Qt::DisplayRole)
            return index.column() == 0 ? row.title : row.length;
        if (role == Qt::ForegroundRole)
            return QColor(row.colour & 0xFF, (row.colour >> 8) & 0xFF, (row.colour >> 16) & 0xFF);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? QStringLiteral("Name") : QStringLiteral("Length");
    }

    void clear()
    {
        beginResetModel();
        mRows.clear();
        mKeys.clear();
        endResetModel();
    }

    // Reads the file once: UTF-8 lines of key ";" title ";" length; a repeated key is left out.
    void open(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QString text = QString::fromUtf8(file.readAll());
        std::vector<Row> rows;
        for (const QStringView line : QStringTokenizer(text, u'\n', Qt::SkipEmptyParts)) {
            const QStringView cut = line.endsWith(u'\r') ? line.chopped(1) : line;
            const qsizetype first = cut.indexOf(u';');
            const qsizetype second = cut.indexOf(u';', first + 1);
            if (first < 0 || second < 0)
                continue;
            const qsizetype third = cut.indexOf(u';', second + 1);
            QString key = cut.left(first).toString();
            if (mKeys.contains(key))
                continue;
            mKeys.insert(key);
            const bool intro = isIntro(key);
            rows.push_back(
                {std::move(key), cut.sliced(first + 1, second - first - 1).toString(),
                 cut.sliced(second + 1, (third < 0 ? cut.size() : third) - second - 1).toString(),
                 intro ? Grey : White});
        }
        beginInsertRows({}, 0, int(rows.size()) - 1);
        mRows = std::move(rows);
        endInsertRows();
    }

    void sort(int column, Qt::SortOrder order) override
    {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = persistentIndexList();
        std::vector<std::pair<QString, std::size_t>> keyed;
        keyed.reserve(mRows.size());
        for (std::size_t i = 0; i < mRows.size(); ++i)
            keyed.emplace_back((column == 0 ? mRows[i].title : mRows[i].length).toCaseFolded(), i);
        const bool ascending = order == Qt::AscendingOrder;
        std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto &a, const auto &b) {
            return ascending ? a.first < b.first : b.first < a.first;
        });
        std::vector<Row> sorted;
        sorted.reserve(mRows.size());
        std::vector<int> newRow(mRows.size());
        for (std::size_t i = 0; i < keyed.size(); ++i) {
            sorted.push_back(std::move(mRows[keyed[i].second]));
            newRow[keyed[i].second] = int(i);
        }
        mRows = std::move(sorted);
        QModelIndexList after;
        for (const QModelIndex &index : before)
            after << this->index(newRow[std::size_t(index.row())], index.column());
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    // The whole-list colour rule, writing only the rows whose colour changes.
    void recolour(const QString &current)
    {
        for (std::size_t i = 0; i < mRows.size(); ++i) {
            Row &row = mRows[i];
            const std::uint32_t wanted =
                row.key == current ? Yellow : (isIntro(row.key) ? Grey : White);
            if (row.colour == wanted)
                continue;
            row.colour = wanted;
            emit dataChanged(index(int(i), 0), index(int(i), 1), {Qt::ForegroundRole});
        }
    }

    const std::vector<Row> &rows() const { return mRows; }

  private:
    std::vector<Row> mRows;
    QSet<QString> mKeys;
};

struct Reference {
    ReferenceModel model;
    QTreeView view;

    explicit Reference(QSize size)
    {
        view.setRootIsDecorated(false);
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.resize(size);
        view.show();
    }
};

bool writePlaylist(const QString &path)
{
    QList<pellin::ListEntry> entries;
    entries.reserve(Entries);
    for (int i = 0; i < Entries; ++i) {
        const int n = int((quint32(i) * 2654435761u) % 1000000u);
        entries.append({QStringLiteral("/media/cd/videos/module %1/lesson %2.%3")
                            .arg(i / 100)
                            .arg(i)
                            .arg(i % 10 == 0 ? QLatin1String("asf") : QLatin1String("avi")),
                        QStringLiteral("Lesson %1 – übung").arg(n),
                        QStringLiteral("%1:%2").arg(n % 90).arg(n % 60, 2, 10, QChar(u'0'))});
    }
    try {
        pellin::writeListFile(path, entries);
    } catch (const pellin::Failure &) {
        return false;
    }
    return true;
}

double timed(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    // What was changed is laid out and painted before the clock stops.
    QCoreApplication::processEvents();
    return bench::elapsedMs(timer);
}

QStringList keysOf(toolkit::ListView &list)
{
    QStringList keys;
    keys.reserve(list.Count());
    for (int i = 1; i <= list.Count(); ++i)
        keys << list.Item(i).Key();
    return keys;
}

QStringList keysOf(const ReferenceModel &model)
{
    QStringList keys;
    keys.reserve(qsizetype(model.rows().size()));
    for (const ReferenceModel::Row &row : model.rows())
        keys << row.key;
    return keys;
}

int currentRows(toolkit::ListView &list)
{
    int current = 0;
    for (int i = 1; i <= list.Count(); ++i)
        current += list.Item(i).ForeColor() == Yellow;
    return current;
}

// In a process of its own: the resident memory that the rows of the file add to a shown list.
int measureRows(const QString &which, const QString &path)
{
    frmPlaylist &playlist = forms::frmPlaylist();
    playlist.Show();
    QCoreApplication::processEvents();
    std::unique_ptr<Reference> reference;
    if (which == QLatin1String("reference"))
        reference = std::make_unique<Reference>(playlist.lvPlaylist.size());
    QCoreApplication::processEvents();
    const long before = bench::residentMiB();
    if (reference)
        reference->model.open(path);
    else
        playlist.OpenPlaylistFile(path);
    QCoreApplication::processEvents();
    std::printf("%ld\n", bench::residentMiB() - before);
    return 0;
}

long rowsMiB(const char *program, const QString &which, const QString &path)
{
    QProcess child;
    child.start(QString::fromLocal8Bit(program), {QStringLiteral("--rows"), which, path});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toLong();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    toolkit::setMessageBoxHandler([](const toolkit::MessageBoxCall &call) {
        std::fprintf(stderr, "list: message box: %s\n", qPrintable(call.prompt));
        return toolkit::vbOK;
    });
    if (argc == 4 && QByteArrayView(argv[1]) == "--rows")
        return measureRows(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("course.pel"));
    if (!dir.isValid() || !writePlaylist(path)) {
        std::fprintf(stderr, "list: could not write the playlist file\n");
        return 1;
    }
    forms::frmPlaylist().Show();
    QCoreApplication::processEvents();
    Reference reference(forms::frmPlaylist().lvPlaylist.size());

    std::vector<double> open[2];
    std::vector<double> sort[2];
    std::vector<double> colour[2];
    for (int run = 0; run <= Runs; ++run) {
        // A new playlist window starts unsorted, as the reference does; its first header click
        // sorts descending.
        forms::frmPlaylist().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmPlaylist &playlist = forms::frmPlaylist();
        playlist.Show();
        reference.model.clear();
        QCoreApplication::processEvents();
        // The freed rows are given back before the clocks run, so neither side pays for the
        // other's.
        malloc_trim(0);
        double ours[3];
        double theirs[3];
        const auto runOurs = [&] {
            ours[0] = timed([&] { playlist.OpenPlaylistFile(path); });
            ours[1] = timed([&] { playlist.lvPlaylist_ColumnClick(1); });
            const QString first = playlist.lvPlaylist.Item(1).Key();
            ours[2] = timed([&] { playlist.ApplyColourRule(first); });
        };
        const auto runReference = [&] {
            theirs[0] = timed([&] { reference.model.open(path); });
            theirs[1] = timed([&] { reference.model.sort(0, Qt::DescendingOrder); });
            const QString first = reference.model.rows().front().key;
            theirs[2] = timed([&] { reference.model.recolour(first); });
        };
        if (run % 2) {
            runOurs();
            runReference();
        } else {
            runReference();
            runOurs();
        }
        if (playlist.lvPlaylist.Count() != Entries ||
            keysOf(playlist.lvPlaylist) != keysOf(reference.model) ||
            currentRows(playlist.lvPlaylist) != 1) {
            std::fprintf(stderr, "list: the playlist and the reference differ\n");
            return 1;
        }
        // The first run warms the caches and the allocator for both.
        if (run == 0)
            continue;
        for (int figure = 0; figure < 3; ++figure) {
            std::vector<double> *figures[] = {open, sort, colour};
            figures[figure][0].push_back(ours[figure]);
            figures[figure][1].push_back(theirs[figure]);
        }
    }
    bool within =
        bench::printRatio("list-open", bench::median(open[0]), bench::median(open[1]),
                          "100,000 rows read from a playlist file into a keyed model", 1.3);
    within &= bench::printRatio("list-sort", bench::median(sort[0]), bench::median(sort[1]),
                                "100,000 rows sorted by title", 1.3);
    within &= bench::printRatio("list-colour", bench::median(colour[0]), bench::median(colour[1]),
                                "the colour pass after a sort, 100,000 rows", 1.3);
    const long oursMiB = rowsMiB(argv[0], QStringLiteral("ours"), path);
    const long theirsMiB = rowsMiB(argv[0], QStringLiteral("reference"), path);
    std::printf("list-rss: %ld MiB (reference %ld MiB, the 100,000 rows)\n", oursMiB, theirsMiB);
    if (oursMiB < 0 || theirsMiB < 0)
        return 1;
    return within ? 0 : bench::OverLimit;
}
