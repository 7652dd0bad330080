#include "graphics/JpegErrors.h"

#include <cstring>

#include <jerror.h>

namespace lumevra {

namespace {

JpegErrorTrap& TrapOf(j_common_ptr cinfo) { return *reinterpret_cast<JpegErrorTrap*>(cinfo->err); }

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  JpegErrorTrap& trap = TrapOf(cinfo);
  (*cinfo->err->format_message)(cinfo, trap.message);
  std::longjmp(trap.jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  // Level -1 is a warning about corrupt data; trace levels are ignored.
  if (level < 0 && TrapOf(cinfo).failOnPrematureEnd && cinfo->err->msg_code == JWRN_JPEG_EOF) {
    ErrorExit(cinfo);
  }
}

void OutputMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallJpegErrorTrap(JpegErrorTrap& trap) {
  jpeg_std_error(&trap.manager);
  trap.manager.error_exit = ErrorExit;
  trap.manager.emit_message = EmitMessage;
  trap.manager.output_message = OutputMessage;
  return &trap.manager;
}

void FailJpeg(j_common_ptr cinfo, const char* message) {
  JpegErrorTrap& trap = TrapOf(cinfo);
  std::strncpy(trap.message, message, sizeof trap.message - 1);
  std::longjmp(trap.jump, 1);
}

}  // namespace lumevra
