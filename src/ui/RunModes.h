// The three windowed modes wired to a backend: each creates its form, lets
// the backend run it and cleans up after it.
#pragma once

#include <cstdint>

#include "ui/Platform.h"
#include "ui/Startup.h"

namespace lumevra {

// Saver mode: the saver window until it closes, then its extracted files.
void RunSaverMode(const Platform& platform);
// Configuration mode: the dialog until it closes.
void RunConfigurationMode(const Platform& platform);
// Preview mode into the desktop's window `handle`; nothing when the
// backend cannot open it.
void RunPreviewMode(const Platform& platform, intptr_t handle);

// Handlers for RunStartup; a mode whose host the backend lacks keeps its
// report.
StartupHandlers MakeStartupHandlers(const Platform& platform);

}  // namespace lumevra
