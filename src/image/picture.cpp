#include "image/picture.h"

#include <QtGlobal>

namespace tervelle {

void Picture::resize(int width, int height, int bytesPerPixel)
{
    Q_ASSERT(width >= 0 && height >= 0 && (bytesPerPixel == 3 || bytesPerPixel == 4));
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
    m_bits.resize(bytesPerLine() * height);
}

} // namespace tervelle
