#pragma once

#include <QString>

#include <functional>

namespace tervelle {

class ResourceList;

struct ScanProgress
{
    qint64 entries = 0; // folder entries looked at so far, subfolders included
    qint64 added = 0;   // files appended to the list (or taken by the sink) so far
    // Folders met again through another link (or a link back up) and so not scanned again.
    qint64 foldersLeftOut = 0;
};

// Called after every tenth entry, so the window can repaint; false cancels the scan (the files
// found until then stay in the list).
using ScanCallback = std::function<bool(const ScanProgress &)>;

enum class ScanResult { Finished, Cancelled };

// Appends every file of the folder at `path` to the list, in the order the file system lists
// them, hidden and system files included, no filter by extension. With `recursive` each
// subfolder is scanned depth first as soon as it is met. A folder that cannot be read adds
// nothing and is not reported. Links are followed, but each folder is scanned once, known by
// its device and inode: a link to a parent folder cannot loop, and folders that many links lead
// to (two links on each of twenty levels make a million ways down) cost one scan each. `totals`,
// when given, receives the counts at the end, the folders left out among them. Only regular files (or links to
// them) are added: a FIFO or device in the list would block the build that copies it. Names
// that are not valid in the file-name encoding are skipped: no path could reach them later.
ScanResult AddFolder(ResourceList &list, const QString &path, bool recursive, const ScanCallback &progress = {},
                     ScanProgress *totals = nullptr);

// Receives each file a scan finds: the folder (shared by every file of one folder), the name and
// the full path; true when the file was taken.
using FoundFileSink = std::function<bool(const QString &folder, const QString &name, const QString &fullPath)>;

// The walk of AddFolder without a list: every file it would append goes to `found`, in the same
// order. Touches nothing but the file system and its arguments, so it may run on any thread.
ScanResult ScanFolder(const QString &path, bool recursive, const FoundFileSink &found,
                      const ScanCallback &progress = {}, ScanProgress *totals = nullptr);

} // namespace tervelle
