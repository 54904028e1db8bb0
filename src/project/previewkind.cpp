#include "project/previewkind.h"

#include "core/inputfile.h"
#include "core/langload.h"
#include "core/textcodec.h"
#include "image/pictureimage.h"
#include "image/tgareader.h"
#include "project/filetree.h"

#include <QByteArray>

namespace tervelle {

PreviewKind previewKindFor(const TreeNode *node)
{
    if (!node || !node->isFile())
        return PreviewKind::None;
    switch (fileTypeOfImage(node->ImageIndex())) {
    case LevelIconFile: return PreviewKind::Picture;
    case TextureListFile:
    case ScriptFile:
    case InfoPageFile: return PreviewKind::Text;
    default: return PreviewKind::None;
    }
}

std::optional<QImage> readPreviewPicture(const QString &path)
{
    Picture picture;
    if (!decodeTga(LoadTgaToMemory(path), picture))
        return std::nullopt;
    return pictureToImage(picture);
}

QString previewCutNote()
{
    return lang(LangKey::message_Preview_Cut);
}

namespace {

// Lines end at CR LF, a lone CR or a lone LF; a break at the very end opens no empty line.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

} // namespace

QStringList readPreviewText(const QString &path)
{
    // One byte more than is shown tells a file of exactly the limit from a longer one.
    // Only a regular file: a FIFO would stall the window.
    QByteArray bytes = readInputHead(path, PreviewTextLimit + 1, lang(LangKey::message_FileKind_Text));
    const bool cut = bytes.size() > PreviewTextLimit;
    if (cut)
        bytes.truncate(qsizetype(PreviewTextLimit));
    QStringList lines = splitLines(textCodec().decode(bytes));
    if (cut)
        lines.append(previewCutNote());
    return lines;
}

} // namespace tervelle
