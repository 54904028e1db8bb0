#include "cli/cli.h"

#include "core/errors.h"
#include "core/safesave.h"
#include "image/pictureimage.h"
#include "image/tgareader.h"

#include <QBuffer>
#include <QImageWriter>

namespace tervelle::cli {

namespace {

QByteArray pngBytes(const QString &inPath)
{
    Picture picture;
    if (!decodeTga(readTgaFile(inPath), picture)) {
        throw UserError(
            QStringLiteral("%1 was declined: not a TGA picture of at most 512 x 512 pixels with all its pixel data")
                .arg(inPath));
    }
    // The reader accepts a width or height of 0, but a PNG cannot hold an empty picture.
    if (picture.isEmpty()) {
        throw UserError(QStringLiteral("%1 holds an empty picture (%2 x %3), which PNG cannot store")
                            .arg(inPath)
                            .arg(picture.width())
                            .arg(picture.height()));
    }
    // Encoded in memory first: written straight to the file, a full disk would be reported as
    // the PNG writer's own failure instead of the system's reason.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(pictureToImageWithAlpha(picture)))
        throw UserError(QStringLiteral("%1 cannot be turned into a PNG: %2").arg(inPath, writer.errorString()));
    return bytes;
}

} // namespace

int runTga2Png(const QStringList &args)
{
    if (args.size() != 2)
        throw UsageError(QStringLiteral("usage: tervelle-pack tga2png IN.tga OUT.png"));
    // A failed write never leaves a partial PNG, nor replaces an existing one.
    replaceFileContents(args.at(1), pngBytes(args.at(0)), QStringLiteral("cannot write %1: %2"));
    return ExitOk;
}

} // namespace tervelle::cli
