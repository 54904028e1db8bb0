#pragma once

#include "trial/trialsnapshot.h"

#include <QString>

#include <vector>

namespace tervelle {

class PackPlan;

// Which stand-in folder a path lies in.
enum class TrialPlace { Game, Launcher, Install };

// A file the project says the installer writes: where, which bytes, and the tree node it comes
// from.
struct ExpectedFile
{
    TrialPlace place = TrialPlace::Game;
    QString path; // relative to the place's folder, "/" between the names
    FileState state;
    QString node; // the node's path in the tree, as the review names it
    int absoluteIndex = -1;
};

// Every pack file with its destination as the review computes it, and the bytes the build packs
// for it (the map list as the build writes it, every other file from its source). Throws
// UserError when the map list cannot be made.
std::vector<ExpectedFile> expectedInstall(const PackPlan &plan);

} // namespace tervelle
