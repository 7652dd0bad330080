// Preview mode: the desktop's small preview window gets the scene's
// background once, stretched to fit, with no animation and no sound.
#pragma once

#include "ui/PreviewTarget.h"
#include "ui/System.h"

namespace lumevra {

// The name of preview mode's temporary project file.
inline constexpr const char* kPreviewProjectName = "~KATemp.KAP";

// Extracts only the project entry of `programFile` into a fresh extraction
// folder's "~KATemp.KAP", loads it, draws its background stretched into the
// target, and deletes the file and the folder. A package or project that
// cannot be read draws nothing. Returns whether a picture was drawn.
bool RunPreview(System& system, PreviewTarget& target);

}  // namespace lumevra
