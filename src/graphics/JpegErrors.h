// Turns libjpeg's fatal errors into an error code that C++ can throw from.
//
// libjpeg reports a fatal error by calling error_exit, which must not return.
// We longjmp back to a setjmp taken in a small function that holds only
// plain data: no C++ object with a destructor is ever jumped over, and the
// caller turns the failure into a PictureError once the jump has landed.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace lumevra {

struct JpegErrorTrap {
  jpeg_error_mgr manager;  // first: libjpeg hands back a pointer to it
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  // Decoding: data that ends before the picture does is a failure, not a
  // warning (libjpeg would otherwise fill the rest with grey).
  bool failOnPrematureEnd = false;
};

// Sets up `trap` as the error manager and returns it for cinfo.err.
jpeg_error_mgr* InstallJpegErrorTrap(JpegErrorTrap& trap);

// Ends the current libjpeg call with `message` (jumps to trap.jump).
[[noreturn]] void FailJpeg(j_common_ptr cinfo, const char* message);

}  // namespace lumevra
