#pragma once

namespace tervelle {

// The program's name, version, desktop entry and icon. No display name is set: Qt would append
// it to every window title, and the editor's title is exactly its caption.
void setApplicationIdentity();

} // namespace tervelle
