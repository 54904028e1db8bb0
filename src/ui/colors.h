#pragma once

#include <QColor>

namespace tervelle {

// Colours as 0xBBGGRR, the way the window's colour scheme was first written down.
using TColor = unsigned int;

inline constexpr TColor ColorPanel = 0xE3DFE0;
inline constexpr TColor ColorMenu = 0xEBE2E0;
inline constexpr TColor ColorMenuHot = 0xC7B7BB;
inline constexpr TColor ColorWindow = 0xFFFFFF;
inline constexpr TColor ColorText = 0x000000;

inline QColor toQColor(TColor color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace tervelle
