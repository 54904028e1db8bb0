#pragma once

#include "mappack/finding.h"

#include <functional>

namespace tervelle {

class ProjectModel;

// Project files travel between map makers, so every project text that the build writes into
// the installer script or the map list, or that names a file or folder, passes this one check
// before either file is made:
// - no control character anywhere: the compiler and its preprocessor take a lone CR for a line
//   break, so one could add a script line that runs a program when building or installing;
// - every node of the files tree, the pack name, the installer languages and the map list file
//   name are Windows names, so nothing is installed, packed or deleted outside its folder;
// - the pack name, version and author have no blank at either end, which the compiler would
//   drop without a word;
// - every header and property row holds a "=", so no row reads as the start or end of a map.
//
// Throws UserError naming the first value that fails and where it lies.
void checkPackTexts(const ProjectModel &project);

// The same checks, every one of them: each refusal is handed to `refused` with where it lies,
// so that the pack review can show them all at once. Also reports the texts that the code
// page of the script and the map list cannot hold.
using TextRefusal = std::function<void(const FindingPlace &place, const QString &message)>;
void collectPackTextRefusals(const ProjectModel &project, const TextRefusal &refused);

} // namespace tervelle
