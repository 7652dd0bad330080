// The configuration dialog on Windows: standard controls on a GDI window.
// Supports: the controls of Win32DialogLayout addressed by the ids
// of ui/DialogHost.h;
// user actions as OnClick (check boxes, buttons, a new list choice) and OnChange
// (the slider, once per whole position); values set from here raise nothing;
// a window timer; the preview picture painted in its place; a modal error
// box; the close box ending the dialog like Close; Tab moves between the
// controls, Enter is OK and Escape Cancel. An error escaping a handler is
// shown in the error box and the dialog goes on, as a framework would.
// The layout follows the DPI of the dialog's monitor (per-monitor aware,
// WM_DPICHANGED): controls, font, frames and the preview scale from the
// 96-DPI layout, and the preview is shown pixel for pixel at its scaled size.
// Does not support: two dialogs at once, control values before Run creates
// the controls (they are ignored).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/PixelView.h"
#include "platform/win32/Win32DialogLayout.h"
#include "ui/DialogHost.h"

namespace lumevra {

class Win32DialogHost final : public DialogHost {
public:
  Win32DialogHost() = default;
  ~Win32DialogHost() override;
  Win32DialogHost(const Win32DialogHost&) = delete;
  Win32DialogHost& operator=(const Win32DialogHost&) = delete;

  // Throws std::runtime_error when the window cannot be made.
  void Run(DialogEvents& events) override;
  void SetText(std::string_view control, std::u16string_view text) override;
  int32_t Position(std::string_view control) override;
  void SetPosition(std::string_view control, int32_t position) override;
  bool Checked(std::string_view control) override;
  void SetChecked(std::string_view control, bool checked) override;
  void SetEnabled(std::string_view control, bool enabled) override;
  void SetFocus(std::string_view control) override;
  void ShowPreview(const PixelView& picture) override;
  PixelSize PreviewSize() override { return {layout_.preview.width, layout_.preview.height}; }
  void SetTimer(bool enabled, uint32_t intervalMs) override;
  void ShowError(std::u16string_view message) override;
  void Close() override;

  // The dialog window (an HWND) while Run runs, else 0.
  intptr_t Window() const { return reinterpret_cast<intptr_t>(window_); }
  // A control's window by name while Run runs, else 0.
  intptr_t Control(std::string_view control) const;
  // The DPI the dialog is laid out for.
  int Dpi() const { return layout_.dpi; }

private:
  static intptr_t __stdcall WindowProc(void* window, unsigned message, uintptr_t wParam, intptr_t lParam);
  intptr_t Handle(unsigned message, uintptr_t wParam, intptr_t lParam);
  void CreateControls();
  // The fonts, the preview buffer and every control's place for `dpi`.
  void ApplyDpi(int dpi);
  void OnDpiChanged(int dpi, const void* suggestedRect);
  void DestroyAll();
  void Paint(void* dc);
  void Guarded(void (*call)(DialogEvents&, const std::string&), const std::string& name);
  void OnCommand(int id, int code);

  void* window_ = nullptr;
  void* font_ = nullptr;
  void* boldFont_ = nullptr;
  void* panelBrush_ = nullptr;
  void* faceBrush_ = nullptr;  // the form's own light grey
  std::vector<void*> controls_;  // by index of DialogControls(); null for the preview
  Win32ScaledDialogLayout layout_ = ScaledDialogLayout(96);
  std::vector<uint32_t> preview_;  // the scaled preview's pixels, white where no picture
  DialogEvents* events_ = nullptr;
  bool closed_ = true;
  bool timer_ = false;
  int32_t sliderPosition_ = 0;
  bool showingError_ = false;
};

}  // namespace lumevra
