#include "ui/RunModes.h"

#include <stdexcept>

#include "ui/ConfigDialog.h"
#include "ui/Preview.h"
#include "ui/SaverWindow.h"

namespace lumevra {

void RunSaverMode(const Platform& platform) {
  SaverWindow form(*platform.system, *platform.saver, platform.fonts);
  form.ChooseWindowStyle();
  try {
    platform.saver->Run(form);
  } catch (...) {
    // The window failed (no display, no extraction folder): close what was
    // opened and remove what was extracted before the error is reported.
    try {
      form.OnClose();
      form.RemoveExtractedFiles();
    } catch (...) {
    }
    throw;
  }
  // A loop the system ended without asking the window still closes it.
  if (form.CurrentState() != SaverWindow::State::Closed) form.OnClose();
  form.RemoveExtractedFiles();
}

void RunConfigurationMode(const Platform& platform) {
  ConfigDialog form(*platform.system, *platform.dialog, platform.fonts);
  try {
    platform.dialog->Run(form);
  } catch (...) {
    form.OnClose();
    throw;
  }
}

void RunPreviewMode(const Platform& platform, intptr_t handle) {
  if (!platform.openPreview) return;
  std::unique_ptr<PreviewTarget> target = platform.openPreview(handle);
  if (target) RunPreview(*platform.system, *target);
}

StartupHandlers MakeStartupHandlers(const Platform& platform) {
  StartupHandlers h;
  if (platform.openPreview) h.preview = [&platform](intptr_t handle) { RunPreviewMode(platform, handle); };
  if (platform.saver) h.saver = [&platform] { RunSaverMode(platform); };
  if (platform.dialog) h.configuration = [&platform] { RunConfigurationMode(platform); };
  return h;
}

}  // namespace lumevra
