#pragma once

#include "image/picture.h"

#include <QImage>

namespace tervelle {

// The picture as the editor's views show it: opaque, whatever its alpha bytes say (the colours
// are already composited). An empty picture gives a null image.
QImage pictureToImage(const Picture &picture);

// The picture with its alpha bytes kept, for export: 3-byte pictures as RGB32, 4-byte pictures as
// (non-premultiplied) ARGB32 holding the composited colours and the stored alpha unchanged.
QImage pictureToImageWithAlpha(const Picture &picture);

} // namespace tervelle
