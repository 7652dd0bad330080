// What a backend provides to the start-up, wired by the program's entry.
// Members a backend lacks are null.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "graphics/FontRaster.h"
#include "ui/DialogHost.h"
#include "ui/PreviewTarget.h"
#include "ui/SaverHost.h"
#include "ui/System.h"

namespace lumevra {

struct Platform {
  System* system = nullptr;
  FontRaster* fonts = nullptr;
  SaverHost* saver = nullptr;
  DialogHost* dialog = nullptr;
  // The desktop's preview window of a handle; null when it cannot be opened.
  std::function<std::unique_ptr<PreviewTarget>(intptr_t handle)> openPreview;
};

}  // namespace lumevra
