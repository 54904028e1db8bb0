#include "image/pictureimage.h"

namespace tervelle {

namespace {

QImage convert(const Picture &picture, bool keepAlpha)
{
    if (picture.isEmpty())
        return {};
    const bool withAlpha = keepAlpha && picture.bytesPerPixel() == 4;
    QImage image(picture.width(), picture.height(), withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const int step = picture.bytesPerPixel();
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *src = picture.scanLine(y);
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < picture.width(); ++x, src += step) {
            const int alpha = withAlpha ? src[3] : 255;
            dst[x] = qRgba(src[2], src[1], src[0], alpha);
        }
    }
    return image;
}

} // namespace

QImage pictureToImage(const Picture &picture)
{
    return convert(picture, false);
}

QImage pictureToImageWithAlpha(const Picture &picture)
{
    return convert(picture, true);
}

} // namespace tervelle
