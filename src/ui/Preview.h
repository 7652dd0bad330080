// Preview mode: the desktop's small preview window gets the scene's
// background once, stretched to fit, with no animation and no sound.
#pragma once

#include <filesystem>

#include "ui/PreviewTarget.h"
#include "ui/System.h"

namespace lumevra {

// Extracts only the project entry of `programFile` into the temporary
// folder's "~KATemp.KAP", loads it, draws its background stretched into the
// target, and deletes the temporary file. A package or project that cannot
// be read draws nothing. Returns whether a picture was drawn.
bool RunPreview(const System& system, PreviewTarget& target);

// The temporary project file of preview mode.
std::filesystem::path PreviewProjectFile(const System& system);

}  // namespace lumevra
