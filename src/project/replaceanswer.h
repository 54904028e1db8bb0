#pragma once

namespace tervelle {

// The answer to "File /f already exists. Do you want to replace it?" while resources are added to
// the tree. The "to all" answers hold for the rest of one add operation only.
enum class ReplaceAnswer { Yes, No, NoToAll, YesToAll };

} // namespace tervelle
