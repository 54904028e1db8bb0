#pragma once

#include "image/picture.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tervelle {

// The bytes of a TGA file as read for decoding. Its size is the file's length, which bounds every
// read of the decoder; QByteArray keeps a zero byte after the data.
using TgaBuffer = QByteArray;

// The decoder never looks further into a file than this: the longest header (a packed one with
// nine entries and a two-byte lead and size field) followed by 512 x 512 four-byte pixels.
inline constexpr qsizetype TgaMaxUsefulBytes = 94 + 512 * 512 * 4;

// Reads the file at path. A file longer than TgaMaxUsefulBytes is read only that far: its
// decoding is the same, and a large file picked by mistake costs no more memory. Throws UserError
// naming the file with the reason when it does not exist, is not a regular file (a FIFO would
// never end) or cannot be read.
TgaBuffer readTgaFile(const QString &path);

// The same for the preview and the tile thumbnails, which show nothing for a file they cannot
// read: no buffer then.
std::optional<TgaBuffer> LoadTgaToMemory(const QString &path);

// Decodes a buffer into picture, resizing it. False when there is no buffer or it is declined
// (a side above 512, a packed header with ten or more entries, a file too short for its header
// or pixels); the picture's content is then undefined. Nothing past the buffer's size is read.
bool decodeTga(const std::optional<TgaBuffer> &buffer, Picture &picture);

// The longest header decodeTga reads before the pixels.
inline constexpr qsizetype TgaHeaderBytes = 96;

// Whether decodeTga would decode a file of `fileSize` bytes that begins with `head` (its first
// TgaHeaderBytes bytes, or all of it when shorter): the header and the size decide, so a check
// need not read the pixels.
bool TgaHeaderDecodes(QByteArrayView head, qint64 fileSize);

} // namespace tervelle
