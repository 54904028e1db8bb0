#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

namespace tervelle {

class TreeNode;

// What the preview panel shows for the selected node of the files tree.
enum class PreviewKind { None, Picture, Text };

// Decided by the node's file type, not its name: level icons are pictures; texture lists,
// scripts and information pages are text (the page's source); anything else, and no node, has
// no preview.
PreviewKind previewKindFor(const TreeNode *node);

// The picture of a level icon as the preview shows it, through the editor's TGA reader. None
// when the file is missing, unreadable or declined by the reader: the preview then shows "No
// preview". A file of width or height 0 is a picture, an empty one.
std::optional<QImage> readPreviewPicture(const QString &path);

// The preview shows at most this much of a text file.
inline constexpr qint64 PreviewTextLimit = 1024 * 1024;

// The lines of the text file at `path` in the program's code page, split at CR LF, CR or LF.
// Only regular files are read, and no more than PreviewTextLimit bytes of them: a FIFO, a
// device or a huge file picked by mistake must not freeze the window. A longer file is cut and
// gets a note line saying so. Throws UserError naming the file and the reason when it cannot be
// read.
QStringList readPreviewText(const QString &path);

// The note line that ends a cut preview.
QString previewCutNote();

} // namespace tervelle
