#include "ui/Preview.h"

#include "package/PackageExtractor.h"
#include "package/Project.h"

namespace lumevra {

namespace fs = std::filesystem;

bool RunPreview(System& system, PreviewTarget& target) {
  if (!target.WaitVisible()) return false;
  const fs::path folder = system.CreateExtractionFolder();
  const fs::path projectFile = folder / kPreviewProjectName;
  // Entry 0 (the header) is skipped: only the project is needed.
  ExtractPackage(system.ProgramFile(), {fs::path(), projectFile});
  // No object list: a still picture needs only the background.
  Project project;
  project.LoadProject(projectFile);
  std::error_code ec;
  fs::remove(projectFile, ec);
  fs::remove(folder, ec);
  if (project.Background.Empty()) return false;
  target.DrawStretched(project.Background.View());
  return true;
}

}  // namespace lumevra
