#pragma once

#include "project/folderscan.h"

#include <QObject>

#include <atomic>
#include <memory>

class QThread;

namespace tervelle {

class ResourceList;

// A folder scan on a thread of its own. The files it finds come back to the thread the job
// lives on in batches and are appended to the list there, in the order the scan found them, so
// the list ends as AddFolder would leave it; the window stays free meanwhile. Nothing of the
// list is touched from the scanning thread.
class FolderScanJob : public QObject
{
    Q_OBJECT

public:
    explicit FolderScanJob(QObject *parent = nullptr);
    // Stops a running scan and waits for its thread; batches not yet appended are dropped.
    ~FolderScanJob() override;

    // Starts scanning `path` into `list`, which must outlive the scan. Ignored while a scan runs.
    void start(ResourceList &list, const QString &path, bool recursive);
    // Asks the scan to stop; the files found until then are still appended before `finished`.
    void cancel();
    // From start() until `finished` has been emitted.
    bool isRunning() const { return m_running; }
    // Folders the last scan met again through another link and did not scan twice; known once
    // `finished` has been emitted.
    qint64 foldersLeftOut() const { return m_foldersLeftOut; }

signals:
    // Files have been appended to the list; about ten times a second at most.
    void progressed();
    void finished(tervelle::ScanResult result);

private:
    struct Found
    {
        QString folder;
        QString name;
        QString fullPath;
    };
    using Batch = std::vector<Found>;

    void append(const Batch &batch, bool announce);
    void scanOnThread(const QString &path, bool recursive);
    void waitForThread();

    ResourceList *m_list = nullptr;
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
    qint64 m_foldersLeftOut = 0;
};

} // namespace tervelle
