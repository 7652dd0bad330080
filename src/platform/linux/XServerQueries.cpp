#include "platform/linux/XServerQueries.h"

// The request and reply layouts of the two extensions, sent with Xlib's
// own request machinery.
// clang-format off
#include <X11/Xlibint.h>
#include <X11/extensions/dpmsproto.h>
#include <X11/extensions/panoramiXproto.h>
// clang-format on

namespace lumevra {

namespace {

// More heads than this is not a desktop but a corrupt reply.
constexpr CARD32 kMostHeads = 64;
constexpr CARD16 kDpmsModeOn = 0;

int ExtensionOpcode(Display* display, const char* name) {
  int opcode = 0, firstEvent = 0, firstError = 0;
  return XQueryExtension(display, name, &opcode, &firstEvent, &firstError) ? opcode : -1;
}

}  // namespace

std::vector<PixelRect> QueryMonitorHeads(Display* dpy) {
  std::vector<PixelRect> heads;
  if (dpy == nullptr) return heads;
  const int opcode = ExtensionOpcode(dpy, "XINERAMA");
  if (opcode < 0) return heads;
  LockDisplay(dpy);
  xXineramaQueryScreensReq* request = nullptr;
  GetReq(XineramaQueryScreens, request);
  request->reqType = static_cast<CARD8>(opcode);
  request->panoramiXReqType = X_XineramaQueryScreens;
  xXineramaQueryScreensReply reply{};
  if (_XReply(dpy, reinterpret_cast<xReply*>(&reply), 0, xFalse)) {
    // Eight bytes (two words) per head; anything else is not read as heads.
    if (reply.number <= kMostHeads && reply.length == reply.number * 2) {
      for (CARD32 i = 0; i < reply.number; ++i) {
        xXineramaScreenInfo info{};
        _XRead(dpy, reinterpret_cast<char*>(&info), sz_XineramaScreenInfo);
        if (info.width > 0 && info.height > 0) heads.push_back({info.x_org, info.y_org, info.width, info.height});
      }
    } else {
      _XEatDataWords(dpy, reply.length);
    }
  }
  UnlockDisplay(dpy);
  SyncHandle();
  return heads;
}

std::optional<bool> QueryDisplayPoweredOn(Display* dpy) {
  if (dpy == nullptr) return std::nullopt;
  const int opcode = ExtensionOpcode(dpy, "DPMS");
  if (opcode < 0) return std::nullopt;
  LockDisplay(dpy);
  xDPMSInfoReq* request = nullptr;
  GetReq(DPMSInfo, request);
  request->reqType = static_cast<CARD8>(opcode);
  request->dpmsReqType = X_DPMSInfo;
  xDPMSInfoReply reply{};
  const bool answered = _XReply(dpy, reinterpret_cast<xReply*>(&reply), 0, xTrue) != 0;
  UnlockDisplay(dpy);
  SyncHandle();
  if (!answered) return std::nullopt;
  // With DPMS disabled the display never sleeps, whatever the level says.
  return !reply.state || reply.power_level == kDpmsModeOn;
}

}  // namespace lumevra
