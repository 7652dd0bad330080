// The services the core needs from the operating system, as small abstract
// interfaces. Each backend (headless, linux, win32) implements them once;
// the core receives them through a Platform object and never includes a
// platform header itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Rounding.h"

namespace lumevra {

// Millisecond tick count (32-bit, wrapping) and sleeping.
class Clock {
public:
  virtual ~Clock() = default;
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t ms) = 0;
};

// The operating system's version record, as far as the folder rules need it.
struct OsVersionInfo {
  enum Family : uint32_t { Win9x = 1, WinNT = 2 };
  uint32_t family = 0;  // Win9x, WinNT, or 0 for anything else
  uint32_t major = 0;
  uint32_t minor = 0;
  std::string servicePack;  // the service text ("A" marks 98 SE)
};

// A named single-instance guard, held for as long as the object lives.
class InstanceGuard {
public:
  virtual ~InstanceGuard() = default;
  // True when another process already held the name at creation: this
  // process must end at once.
  virtual bool AlreadyExists() const = 0;
};

// The system's own password-change dialog for screensavers.
class PasswordChanger {
public:
  virtual ~PasswordChanger() = default;
  virtual void ChangePassword(intptr_t ownerWindow) = 0;
};

// Process, files and folders.
class System {
public:
  virtual ~System() = default;
  // The program's own file (the one that carries the package).
  virtual std::filesystem::path ProgramFile() const = 0;
  // Command-line parameters after the program name, as UTF-8.
  virtual std::vector<std::string> Arguments() const = 0;
  // The system's temporary folder.
  virtual std::filesystem::path TempFolder() const = 0;
  // The user's documents folder; nullopt when the system cannot tell.
  virtual std::optional<std::filesystem::path> DocumentsFolder() const = 0;
  // The system's program-files folder as it records it; nullopt when it
  // cannot be read (always off Windows).
  virtual std::optional<std::filesystem::path> ProgramFilesValue() const = 0;
  // nullopt when the version cannot be read (always off Windows).
  virtual std::optional<OsVersionInfo> OsVersion() const = 0;
  // nullptr when no guard can be created; the run then goes on unguarded.
  virtual std::unique_ptr<InstanceGuard> CreateInstanceGuard(const std::string& name) = 0;
  // nullptr when the system offers no password-change service.
  virtual std::unique_ptr<PasswordChanger> LoadPasswordChanger() = 0;
};

// A 32-bit surface handed to a backend: B, G, R, A bytes per pixel, rows
// top-down, `stride` pixels apart.
struct PixelView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
};

// Text in a face and pixel height, without anti-aliasing.
//
// pixelHeight is the character (em) height in pixels, as a negative font
// height asks of the system's text output: the line is taller than this by
// the font's internal leading. A point size converts with PointsToPixels.
struct FontSpec {
  std::string face;
  int32_t pixelHeight = 0;
  bool bold = false;
  bool italic = false;
};

// Points to pixels at 96 pixels per inch, rounded halves to even.
inline int32_t PointsToPixels(int32_t points) {
  return static_cast<int32_t>(Round(static_cast<double>(points) * 96.0 / 72.0));
}

struct TextExtent {
  int32_t cx = 0;
  int32_t cy = 0;
};

// One bit per pixel, one byte per pixel here for simplicity: 0 or 1.
// width x height bytes, rows top to bottom.
struct TextCoverage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> bits;
};

// Text measuring and non-anti-aliased rendering. Safe to call from several
// threads. A font that cannot be found falls back to the system's default
// face; when no text can be drawn at all the results are empty.
class FontRaster {
public:
  virtual ~FontRaster() = default;
  // cx: the sum of the characters' advances; cy: the font's line height
  // (ascent + descent). An empty text has cx 0.
  virtual TextExtent Extent(const FontSpec& font, std::u16string_view text) = 0;
  // The text's pixels on a coverage the size of its extent, the baseline at
  // the font's ascent; ink reaching past the extent is cut off.
  virtual TextCoverage Render(const FontSpec& font, std::u16string_view text) = 0;
};

// One sound-effect player bound to the saver window; it keeps sounding
// while another window has the focus.
class SoundPlayer {
public:
  virtual ~SoundPlayer() = default;
  // A buffer made from the wave's format record (a WAVEFORMATEX, verbatim
  // from the file) and its sample bytes. False when the output cannot make
  // a buffer of that format; the previous sound, if any, is gone then.
  virtual bool Load(const std::vector<uint8_t>& formatRecord, const uint8_t* data, size_t size) = 0;
  // 0 is full volume, -10000 silence.
  virtual void SetVolume(int32_t hundredthsOfDecibel) = 0;
  // Starts from the current position.
  virtual void Play(bool loop) = 0;
  virtual void Stop() = 0;
};

// The system's simple one-sound call: these flags as the system knows them.
inline constexpr uint32_t kSndAsync = 0x0001;
inline constexpr uint32_t kSndNoDefault = 0x0002;
inline constexpr uint32_t kSndLoop = 0x0008;

class SoundOutput {
public:
  virtual ~SoundOutput() = default;
  // A new initialised player; nullptr when the device cannot provide one.
  virtual std::unique_ptr<SoundPlayer> CreatePlayer() = 0;
  // Plays `file` with the system's simple call; an empty path stops the
  // sound that is playing.
  virtual void PlaySimple(const std::filesystem::path& file, uint32_t flags) = 0;
};

// Music through the system's media player.
class MusicDevice {
public:
  virtual ~MusicDevice() = default;
  // False when the file cannot be played (missing, unknown type, no device).
  virtual bool Open(const std::filesystem::path& file) = 0;
  // 0..1000; a device without volume control ignores it.
  virtual void SetVolume(int32_t volume0to1000) = 0;
  // Plays from the current position. When playing stops, `notify` runs on
  // the user-interface thread, between frames, never inside a call here.
  virtual bool Play(std::function<void()> notify) = 0;
  // Comparable units: Position() >= Length() once the end is reached.
  virtual uint32_t Position() = 0;
  virtual uint32_t Length() = 0;
  // Stops and releases the file; nothing when nothing is open.
  virtual void Close() = 0;
};

// The events of the saver window, as the window logic handles them. A
// backend's loop delivers them on the user-interface thread.
class SaverEvents {
public:
  virtual ~SaverEvents() = default;
  virtual void FormShow() = 0;
  // One idle call; true when the loop may wait for messages (no frames).
  virtual bool IdleFrame() = 0;
  virtual void FormMouseMove(int32_t x, int32_t y) = 0;
  virtual void FormMouseDown() = 0;
  virtual void FormKeyDown() = 0;
  virtual void FormResize() = 0;
  // The window's frame or the system asks the window to close.
  virtual void Close() = 0;
};

// The saver's window. Calls come from the window logic on the UI thread.
class SaverHost {
public:
  virtual ~SaverHost() = default;
  // Before Run: borderless and topmost (full screen) or an ordinary
  // resizable window (the windowed test run).
  virtual void SetWindowed(bool windowed) = 0;
  // The sound output and music device bound to this window; null when the
  // backend has none. Valid from FormShow until Run returns.
  virtual SoundOutput* Sound() = 0;
  virtual MusicDevice* Music() = 0;
  // Creates and shows the window, delivers FormShow, then the idle calls
  // and input until Close; returns after the window is gone.
  virtual void Run(SaverEvents& events) = 0;

  virtual TextExtent ScreenSize() = 0;
  virtual TextExtent ClientSize() = 0;
  // Outer position and size; a size change raises FormResize.
  virtual void SetPlacement(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual void SetTopmost() = 0;
  // Hides the application's own taskbar button.
  virtual void HideApplicationWindow() = 0;
  // Tells a 95/98/ME system that a saver is running (the logic decides when).
  virtual void SetScreenSaverRunning(bool running) = 0;
  virtual void ShowCursor(bool show) = 0;
  virtual void SetCaption(std::u16string_view caption) = 0;
  // Copies the frame to the client area at (left, top); the rest of the
  // client area stays black.
  virtual void Present(const PixelView& frame, int32_t left, int32_t top) = 0;
  // Handles pending messages (input may raise events from inside).
  virtual void ProcessMessages() = 0;
  // Whether IdleFrame is called while the message queue is empty.
  virtual void SetIdleHandler(bool installed) = 0;
  // The 95/98/ME password check ("ScreenSaveUsePassword", "VerifyScreenSavePwd",
  // the cursor shown meanwhile): true allows closing. Other systems: true.
  virtual bool VerifyPassword() = 0;
  // Ends Run: no events are delivered afterwards.
  virtual void Close() = 0;
};

// The events of the configuration dialog, named after its controls.
class DialogEvents {
public:
  virtual ~DialogEvents() = default;
  virtual void FormShow() = 0;
  // A click on a check box or button, or a new choice in a list, by the
  // user: "cbStretch", "CheckBox1", "OK", "Cancel", "Reset", ...
  virtual void Click(std::string_view control) = 0;
  // The slider moved by the user.
  virtual void Change(std::string_view control) = 0;
  virtual void Timer() = 0;
  // The window's close box, or the end after OK or Cancel.
  virtual void FormClose() = 0;
};

// The configuration dialog's controls and timer, addressed by their names.
// Setting a value from here never raises an event: the logic calls its own
// handlers where one should follow.
class DialogHost {
public:
  virtual ~DialogHost() = default;
  // Creates and shows the dialog, delivers FormShow, then the user's events
  // and the timer until Close; FormClose comes last.
  virtual void Run(DialogEvents& events) = 0;
  virtual void SetText(std::string_view control, std::u16string_view text) = 0;
  // Slider position, or the item index of a list.
  virtual int32_t Position(std::string_view control) = 0;
  virtual void SetPosition(std::string_view control, int32_t position) = 0;
  virtual bool Checked(std::string_view control) = 0;
  virtual void SetChecked(std::string_view control, bool checked) = 0;
  virtual void SetEnabled(std::string_view control, bool enabled) = 0;
  virtual void SetFocus(std::string_view control) = 0;
  // The picture of "imgPreview", copied and repainted.
  virtual void ShowPreview(const PixelView& picture) = 0;
  virtual void SetTimer(bool enabled, uint32_t intervalMs) = 0;
  // The framework's error message; the dialog stays open.
  virtual void ShowError(std::u16string_view message) = 0;
  virtual void Close() = 0;
};

// A foreign window that receives one still picture (the desktop's preview).
class PreviewTarget {
public:
  virtual ~PreviewTarget() = default;
  // Waits until the window is visible; false when it never became so.
  virtual bool WaitVisible() = 0;
  virtual TextExtent Size() = 0;
  virtual void DrawStretched(const PixelView& picture) = 0;
};

// What a backend provides to the start-up. Members a backend lacks are null.
struct Platform {
  System* system = nullptr;
  FontRaster* fonts = nullptr;
  SaverHost* saver = nullptr;
  DialogHost* dialog = nullptr;
  // The desktop's preview window of a handle; null when it cannot be opened.
  std::function<std::unique_ptr<PreviewTarget>(intptr_t handle)> openPreview;
};

}  // namespace lumevra
