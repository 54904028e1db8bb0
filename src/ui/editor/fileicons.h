#pragma once

#include <QIcon>
#include <QPixmap>

namespace tervelle {

// `imlFiles`: the 12 images of the files tree, 16 by 16. 0 and 1 a group root (at rest,
// selected), 2 and 3 a folder (closed, open), 4 to 11 a file by its type plus 4: plain file,
// map, height map, level icon, texture list, Lua script, information page, map list.
inline constexpr int FileImageCount = 12;
QPixmap fileImage(int index);

// The node's icon: `imageIndex` at rest, `selectedIndex` while selected. An index outside the
// list shows no image.
QIcon treeNodeIcon(int imageIndex, int selectedIndex);

// `imlResources`: the one image of every row of the resources list.
QIcon resourceIcon();

} // namespace tervelle
