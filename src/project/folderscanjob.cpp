#include "project/folderscanjob.h"

#include "project/resourcelist.h"

#include <QElapsedTimer>
#include <QThread>

namespace tervelle {

namespace {

// Ten updates a second look alive; each one lays out the whole list in its views, so more
// often would cost a long scan a good part of its time.
constexpr qint64 ProgressEveryMs = 100;
// Files go over in small batches, so the list takes them in while the scan goes on.
constexpr std::size_t BatchFiles = 2048;

} // namespace

FolderScanJob::FolderScanJob(QObject *parent) : QObject(parent)
{}

FolderScanJob::~FolderScanJob()
{
    m_stop = true;
    waitForThread();
}

void FolderScanJob::waitForThread()
{
    if (!m_thread)
        return;
    m_thread->wait();
    m_thread.reset();
}

void FolderScanJob::start(ResourceList &list, const QString &path, bool recursive)
{
    if (m_running)
        return;
    // The last scan's thread has handed over everything by now; only its end is left.
    waitForThread();
    m_list = &list;
    m_running = true;
    m_stop = false;
    m_thread.reset(QThread::create([this, path, recursive] { scanOnThread(path, recursive); }));
    m_thread->setObjectName(QStringLiteral("folder scan"));
    m_thread->start();
}

void FolderScanJob::cancel()
{
    m_stop = true;
}

void FolderScanJob::scanOnThread(const QString &path, bool recursive)
{
    Batch batch;
    batch.reserve(BatchFiles);
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    bool unannounced = false; // files handed over that the window has not been told of yet
    // Queued to this object: it lives on the window's thread, and the destructor waits for this
    // thread before the object goes, so no call can reach a job that is gone.
    const auto handOver = [this, &batch, &sinceProgress, &unannounced] {
        const bool announce = sinceProgress.elapsed() >= ProgressEveryMs;
        if (announce)
            sinceProgress.start();
        unannounced = !announce;
        QMetaObject::invokeMethod(
            this, [this, ready = std::move(batch), announce] { append(ready, announce); }, Qt::QueuedConnection);
        batch = Batch();
        batch.reserve(BatchFiles);
    };
    const FoundFileSink found = [&](const QString &folder, const QString &name, const QString &fullPath) {
        batch.push_back(Found{folder, name, fullPath});
        if (batch.size() >= BatchFiles)
            handOver();
        return true;
    };
    // A slow folder still shows its files as they come, and a quiet stretch after a full batch
    // still shows that batch.
    const ScanCallback progress = [&](const ScanProgress &) {
        if ((!batch.empty() || unannounced) && sinceProgress.elapsed() >= ProgressEveryMs)
            handOver();
        return !m_stop;
    };
    ScanProgress totals;
    const ScanResult result = ScanFolder(path, recursive, found, progress, &totals);
    if (!batch.empty())
        handOver();
    QMetaObject::invokeMethod(
        this,
        [this, result, leftOut = totals.foldersLeftOut] {
            m_running = false;
            m_foldersLeftOut = leftOut;
            emit finished(result);
        },
        Qt::QueuedConnection);
}

void FolderScanJob::append(const Batch &batch, bool announce)
{
    for (const Found &file : batch)
        m_list->addSplitResource(file.folder, file.name, file.fullPath);
    if (announce)
        emit progressed();
}

} // namespace tervelle
