#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <set>

namespace tervelle {

// One file of a folder as a trial sees it: its size and the hash of its bytes.
struct FileState
{
    qint64 size = 0;
    QByteArray hash; // SHA-256

    bool operator==(const FileState &other) const { return size == other.size && hash == other.hash; }
    bool operator!=(const FileState &other) const { return !(*this == other); }
};

// The files and folders below one folder, by their paths relative to it with "/" between the
// names. Links are recorded as files of their own (the hash of the link text), never followed.
struct FolderSnapshot
{
    std::map<QString, FileState> files;
    std::set<QString> folders;
};

FolderSnapshot takeSnapshot(const QString &root);

// The hash of a file's bytes, read in pieces; empty when it cannot be read.
QByteArray fileHash(const QString &path);

} // namespace tervelle
