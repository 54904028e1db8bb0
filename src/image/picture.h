#pragma once

#include <QByteArray>

namespace tervelle {

// A decoded picture: rows top to bottom, packed without padding, 3 bytes per pixel (blue, green,
// red) or 4 (blue, green, red, alpha). The colour bytes of 4-byte pixels are already composited,
// so the picture is meant to be shown opaque.
class Picture
{
public:
    Picture() = default;

    // Gives the picture new dimensions; the pixel bytes are left for the caller to fill.
    void resize(int width, int height, int bytesPerPixel);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bytesPerPixel() const { return m_bytesPerPixel; }
    qsizetype bytesPerLine() const { return qsizetype(m_width) * m_bytesPerPixel; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }

    uchar *scanLine(int y) { return reinterpret_cast<uchar *>(m_bits.data()) + y * bytesPerLine(); }
    const uchar *scanLine(int y) const
    {
        return reinterpret_cast<const uchar *>(m_bits.constData()) + y * bytesPerLine();
    }

private:
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
    QByteArray m_bits;
};

} // namespace tervelle
