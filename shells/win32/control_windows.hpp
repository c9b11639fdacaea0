// The control's two windows when a container activates it in place: the client area (the
// control's own window, a child of the container's) and P1, the picture, its only child.
// The window procedures only translate messages; what happens lives in WindowEvents.
#pragma once

#include <windows.h>

#include <cstdint>

namespace trazo::win32 {

class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The client area changed size.
  virtual void clientSized() = 0;
  // P1's inner area is now width x height pixels.
  virtual void pictureSized(int width, int height) = 0;
  // P1 must be drawn into dc (WM_PAINT or WM_PRINTCLIENT).
  virtual void paintPicture(HDC dc) = 0;
  // The pointer moved over P1 to pixel (x, y) with these button and shift states.
  virtual void pointerMoved(std::int16_t button, std::int16_t shift, int x, int y) = 0;
};

// Button and shift states of a mouse message, as MouseMove reports them: buttons 1 left,
// 2 right, 4 middle; keys 1 shift, 2 ctrl, 4 alt.
std::int16_t buttonState(WPARAM keys);
std::int16_t shiftState(WPARAM keys, bool altDown);

class ControlWindows {
 public:
  ControlWindows() = default;
  ~ControlWindows() { destroy(); }
  ControlWindows(const ControlWindows&) = delete;
  ControlWindows& operator=(const ControlWindows&) = delete;

  // Creates the client window at `position` inside `parent`, and P1 in it at `picture`
  // (pixels). Fails when either window cannot be made.
  HRESULT create(HWND parent, const RECT& position, const RECT& picture, WindowEvents& events);
  void destroy();

  HWND client() const { return client_; }
  HWND picture() const { return picture_; }
  bool exist() const { return client_ != nullptr; }

 private:
  static LRESULT CALLBACK clientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK pictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void forget(HWND window);

  HWND client_ = nullptr;
  HWND picture_ = nullptr;
  WindowEvents* events_ = nullptr;
};

}  // namespace trazo::win32
