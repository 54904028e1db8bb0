#pragma once

#include <QString>

namespace tervelle {

// What one stat of a source file says, as the build will meet it.
struct SourceFacts
{
    enum State { Missing, NotRegular, Unreadable, Regular };
    State state = Missing;
    qint64 size = 0;
};

// One stat of the path, following links (the compiler packs what a link points at).
SourceFacts statSource(const QString &path);

// Reads the TGA header of a level icon (the bytes the decoder looks at before the pixels) and
// tells whether the preview and the game's reader could decode the file.
bool levelIconDecodes(const QString &path, qint64 size);

} // namespace tervelle
