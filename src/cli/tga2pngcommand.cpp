#include "cli/cli.h"

#include "image/pictureimage.h"
#include "image/tgareader.h"

#include <QImageWriter>
#include <QSaveFile>

namespace tervelle::cli {

int runTga2Png(const QStringList &args)
{
    if (args.size() != 2) {
        printError(QStringLiteral("usage: tervelle-pack tga2png IN.tga OUT.png"));
        return ExitUsage;
    }
    const QString &inPath = args.at(0);
    const QString &outPath = args.at(1);

    QString reason;
    const std::optional<TgaBuffer> buffer = LoadTgaToMemory(inPath, &reason);
    if (!buffer) {
        printError(QStringLiteral("cannot read %1: %2").arg(inPath, reason));
        return ExitFailed;
    }
    Picture picture;
    if (!ViewTga(buffer, picture)) {
        printError(QStringLiteral("%1 was declined: not a TGA picture of at most 512 x 512 pixels with all its pixel data")
                       .arg(inPath));
        return ExitFailed;
    }
    // The reader accepts a width or height of 0, but a PNG cannot hold an empty picture.
    if (picture.isEmpty()) {
        printError(QStringLiteral("%1 holds an empty picture (%2 x %3), which PNG cannot store")
                       .arg(inPath)
                       .arg(picture.width())
                       .arg(picture.height()));
        return ExitFailed;
    }

    // QSaveFile: a failed write never leaves a partial PNG, nor replaces an existing one.
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly)) {
        printError(QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
        return ExitFailed;
    }
    QImageWriter writer(&out, "png");
    if (!writer.write(pictureToImageWithAlpha(picture))) {
        out.cancelWriting();
        const QString why = out.error() != QFileDevice::NoError ? out.errorString() : writer.errorString();
        printError(QStringLiteral("cannot write %1: %2").arg(outPath, why));
        return ExitFailed;
    }
    if (!out.commit()) {
        printError(QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace tervelle::cli
