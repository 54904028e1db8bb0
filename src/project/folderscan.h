#pragma once

#include <QString>

#include <functional>

namespace tervelle {

class ResourceList;

struct ScanProgress
{
    qint64 entries = 0; // folder entries looked at so far, subfolders included
    qint64 added = 0;   // files appended to the list (or taken by the sink) so far
};

// Called after every tenth entry, so the window can repaint; false cancels the scan (the files
// found until then stay in the list).
using ScanCallback = std::function<bool(const ScanProgress &)>;

enum class ScanResult { Finished, Cancelled };

// Appends every file of the folder at `path` to the list, in the order the file system lists
// them, hidden and system files included, no filter by extension. With `recursive` each
// subfolder is scanned depth first as soon as it is met. A folder that cannot be read adds
// nothing and is not reported. Links are followed, but never into a folder that is already
// being scanned, so a link to a parent folder cannot loop. Only regular files (or links to
// them) are added: a FIFO or device in the list would block the build that copies it. Names
// that are not valid in the file-name encoding are skipped: no path could reach them later.
ScanResult AddFolder(ResourceList &list, const QString &path, bool recursive, const ScanCallback &progress = {});

// Receives each file a scan finds: the folder (shared by every file of one folder), the name and
// the full path; true when the file was taken.
using FoundFileSink = std::function<bool(const QString &folder, const QString &name, const QString &fullPath)>;

// The walk of AddFolder without a list: every file it would append goes to `found`, in the same
// order. Touches nothing but the file system and its arguments, so it may run on any thread.
ScanResult ScanFolder(const QString &path, bool recursive, const FoundFileSink &found,
                      const ScanCallback &progress = {});

} // namespace tervelle
