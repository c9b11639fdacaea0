#include "control_windows.hpp"

#include "module.hpp"

#include <windowsx.h>

namespace trazo::win32 {
namespace {

constexpr const wchar_t* kClientClass = L"TrazolibTrazoClient";
constexpr const wchar_t* kPictureClass = L"TrazolibTrazoPicture";

bool registerClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(moduleInstance(), name, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.hInstance = moduleInstance();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

ControlWindows* owner(HWND window) {
  return reinterpret_cast<ControlWindows*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Keeps the owner in the window from WM_NCCREATE on.
void adopt(HWND window, UINT message, LPARAM lParam) {
  if (message != WM_NCCREATE) return;
  const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

}  // namespace

std::int16_t buttonState(WPARAM keys) {
  std::int16_t state = 0;
  if (keys & MK_LBUTTON) state |= 1;
  if (keys & MK_RBUTTON) state |= 2;
  if (keys & MK_MBUTTON) state |= 4;
  return state;
}

std::int16_t shiftState(WPARAM keys, bool altDown) {
  std::int16_t state = 0;
  if (keys & MK_SHIFT) state |= 1;
  if (keys & MK_CONTROL) state |= 2;
  if (altDown) state |= 4;
  return state;
}

HRESULT ControlWindows::create(HWND parent, const RECT& position, const RECT& picture, WindowEvents& events) {
  if (exist()) return S_OK;
  if (!registerClass(kClientClass, clientProc) || !registerClass(kPictureClass, pictureProc)) return E_FAIL;
  events_ = &events;
  client_ = CreateWindowExW(0, kClientClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, position.left,
                            position.top, position.right - position.left, position.bottom - position.top, parent,
                            nullptr, moduleInstance(), this);
  if (client_ == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  picture_ = CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, picture.left, picture.top,
                             picture.right - picture.left, picture.bottom - picture.top, client_, nullptr,
                             moduleInstance(), this);
  if (picture_ == nullptr) {
    const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    destroy();
    return hr;
  }
  return S_OK;
}

void ControlWindows::destroy() {
  if (client_ != nullptr) DestroyWindow(client_);  // takes P1 with it
  client_ = nullptr;
  picture_ = nullptr;
}

// A window that goes away on its own (its parent destroyed) is no longer ours to use.
void ControlWindows::forget(HWND window) {
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (window == client_) client_ = nullptr;
  if (window == picture_) picture_ = nullptr;
}

LRESULT CALLBACK ControlWindows::clientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  adopt(window, message, lParam);
  ControlWindows* self = owner(window);
  if (self != nullptr) {
    switch (message) {
      case WM_SIZE:
        if (self->client_ == window && self->picture_ != nullptr) self->events_->clientSized();
        return 0;
      case WM_NCDESTROY: self->forget(window); break;
      default: break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ControlWindows::pictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  adopt(window, message, lParam);
  ControlWindows* self = owner(window);
  if (self != nullptr && self->picture_ == window) {
    switch (message) {
      case WM_SIZE: self->events_->pictureSized(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
      case WM_ERASEBKGND: return 1;  // the paint covers everything
      case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(window, &ps)) {
          self->events_->paintPicture(dc);
          EndPaint(window, &ps);
        }
        return 0;
      }
      case WM_PRINTCLIENT: self->events_->paintPicture(reinterpret_cast<HDC>(wParam)); return 0;
      case WM_MOUSEMOVE:
        self->events_->pointerMoved(buttonState(wParam), shiftState(wParam, GetKeyState(VK_MENU) < 0),
                                    GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_NCDESTROY: self->forget(window); break;
      default: break;
    }
  } else if (self != nullptr && message == WM_NCDESTROY) {
    self->forget(window);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace trazo::win32
