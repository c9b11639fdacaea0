// P1's pixels in a real container, for comparison with the Linux raster of the same script.
// For each call script: Wine's ATL host sites a fresh control at the picture's size, every
// statement goes through the control's own IDispatch as an automation client's call would,
// and P1 is read three ways that must agree (what its window shows, its paint through
// PrintWindow, and IViewObject::Draw into a memory DC). What the window shows is written
// to OUT_FOLDER\<script name>.ppm; run.sh compares it with the Linux one byte for byte.
//   container_pixels.exe WIDTHxHEIGHT OUT_FOLDER SCRIPT...
// Runs with the registered Trazolib.ocx and a display driver (the null driver will do).
#include "atl_host.hpp"
#include "check.hpp"
#include "dib_target.hpp"
#include "ppm_image.hpp"

#include "script/script.hpp"

#include "Trazolib.h"

#include <ocidl.h>
#include <oleauto.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

using namespace trazo;
using wintest::DibTarget;

namespace {

// The Linux picture is made at this resolution.
constexpr int kLinuxDpi = 96;

bool readFile(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char chunk[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return ok;
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

// The file name without folder and extension, for the output's name and the report.
std::wstring stemOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

// A bound argument as the VARIANT of its parameter's type.
VARIANT toVariant(const BoundArgument& value, VarType type) {
  VARIANT out;
  VariantInit(&out);
  switch (type) {
    case VarType::Long:
      out.vt = VT_I4;
      out.lVal = value.integer;
      break;
    case VarType::String:
      out.vt = VT_BSTR;
      out.bstrVal =
          SysAllocStringLen(reinterpret_cast<const OLECHAR*>(value.text.data()), static_cast<UINT>(value.text.size()));
      break;
    default:
      out.vt = VT_R8;
      out.dblVal = value.number;
      break;
  }
  return out;
}

// One statement through IDispatch::Invoke, its arguments in parameter order laid out last
// to first, as automation passes positional arguments.
HRESULT invoke(IDispatch* control, const script::BoundCall& call) {
  std::vector<VARIANT> args;
  for (std::size_t i = call.arguments.size(); i-- > 0;)
    args.push_back(toVariant(call.arguments[i], call.member->params[i].type));
  DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  UINT argError = 0;
  const HRESULT hr = control->Invoke(call.member->dispId, IID_NULL, LOCALE_USER_DEFAULT,
                                     DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result, &exception, &argError);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  VariantClear(&result);
  for (VARIANT& v : args) VariantClear(&v);
  return hr;
}

// Runs one script in a fresh control of width x height pixels and writes what P1 shows.
void probe(const std::wstring& scriptPath, const std::wstring& outFolder, int width, int height,
           wintest::AtlHost::GetControlFn axControl) {
  const std::wstring stem = stemOf(scriptPath);
  const std::string name(stem.begin(), stem.end());  // the probes have ASCII names
  const char* g = name.c_str();
  std::string text;
  if (!CHECK(g, readFile(scriptPath, text))) return;
  script::Script script = script::Script::read(text, name);
  for (const std::string& error : script.faults()) std::printf("     %s\n", error.c_str());
  if (!CHECK(g, script.accepted() && script.statementCount() > 0)) return;

  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                              nullptr, nullptr, nullptr, nullptr);
  HWND ax = CreateWindowExW(0, L"AtlAxWin", L"Trazolib.Trazo", WS_CHILD | WS_VISIBLE, 0, 0, width, height, host,
                            nullptr, nullptr, nullptr);
  wintest::pump();
  IUnknown* unknown = nullptr;
  IDispatch* control = nullptr;
  IOleInPlaceObject* inPlace = nullptr;
  IViewObject* view = nullptr;
  HWND client = nullptr;
  const bool sited = host != nullptr && ax != nullptr && SUCCEEDED(axControl(ax, &unknown)) && unknown != nullptr &&
                     SUCCEEDED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control))) &&
                     SUCCEEDED(unknown->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))) &&
                     SUCCEEDED(unknown->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view))) &&
                     SUCCEEDED(inPlace->GetWindow(&client));
  HWND p1 = client != nullptr ? GetWindow(client, GW_CHILD) : nullptr;
  RECT inner{};
  if (CHECK(g, sited && p1 != nullptr && GetClientRect(p1, &inner)) &&
      CHECK(g, inner.right == width && inner.bottom == height)) {
    int failures = 0;
    script.walk([&](const script::BoundCall& call) {
      const HRESULT hr = invoke(control, call);
      if (FAILED(hr)) {
        ++failures;
        std::printf("     line %zu: %s gave 0x%08lX\n", call.line, std::string(call.member->name).c_str(),
                    static_cast<unsigned long>(hr));
      }
    });
    CHECK(g, failures == 0);  // every call of a probe succeeds, on Linux too
    wintest::pump();

    DibTarget shown(width, height), painted(width, height), drawn(width, height);
    if (CHECK(g, shown.ready() && painted.ready() && drawn.ready())) {
      shown.clear();
      painted.clear();
      drawn.clear();
      HDC window = GetDC(p1);
      BitBlt(shown.dc(), 0, 0, width, height, window, 0, 0, SRCCOPY);
      ReleaseDC(p1, window);
      CHECK(g, PrintWindow(p1, painted.dc(), PW_CLIENTONLY));
      const RECTL bounds{0, 0, width, height};
      CHECK_HR(g, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, drawn.dc(), &bounds, nullptr, nullptr, 0),
               S_OK);
      const PixelBuffer pixels = shown.pixels();
      CHECK(g, painted.sameAs(pixels));  // P1's paint is a Reflash: the same picture again
      CHECK(g, drawn.sameAs(pixels));
      CHECK(g, writeFile(outFolder + L"\\" + stem + L".ppm", wintest::ppmBytes(pixels)));
    }
  }
  if (view != nullptr) view->Release();
  if (inPlace != nullptr) inPlace->Release();
  if (control != nullptr) control->Release();
  if (unknown != nullptr) unknown->Release();
  if (host != nullptr) DestroyWindow(host);
  wintest::pump();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int width = 0, height = 0;
  if (argc < 4 || std::swscanf(argv[1], L"%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
    std::printf("usage: container_pixels.exe WIDTHxHEIGHT OUT_FOLDER SCRIPT...\n");
    return 2;
  }
  OleInitialize(nullptr);
  wintest::AtlHost atl;
  if (!CHECK("host", atl.load())) return wintest::finish();
  // Twips are the same length in pixels only at the same resolution.
  HDC screen = GetDC(nullptr);
  CHECK("host", GetDeviceCaps(screen, LOGPIXELSX) == kLinuxDpi && GetDeviceCaps(screen, LOGPIXELSY) == kLinuxDpi);
  ReleaseDC(nullptr, screen);
  for (int i = 3; i < argc; ++i) probe(argv[i], argv[2], width, height, atl.getControl);
  OleUninitialize();
  return wintest::finish();
}
