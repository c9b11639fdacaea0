// The resources of a built Trazolib.ocx, read as data: each build checks its own file.
// The embedded type library, the 16 x 15 toolbox image with its 16-colour palette, and the
// version resource with its strings and the self-registration entry.
//   resources_test.exe FILE.ocx [FILE.ocx ...]
#include "check.hpp"

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr int kToolboxBitmap = 30000;

void checkImages(const char* g, HMODULE file) {
  HRSRC typeLib = FindResourceW(file, MAKEINTRESOURCEW(1), L"TYPELIB");
  CHECK(g, typeLib != nullptr && SizeofResource(file, typeLib) > 0);

  HRSRC found = FindResourceW(file, MAKEINTRESOURCEW(kToolboxBitmap), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
  if (!CHECK(g, found != nullptr)) return;
  const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(file, found)));
  if (!CHECK(g, info != nullptr && SizeofResource(file, found) >= sizeof *info)) return;
  CHECK(g, info->biWidth == 16 && info->biHeight == 15);
  CHECK(g, info->biBitCount == 4 && info->biCompression == BI_RGB);
  CHECK(g, info->biClrUsed == 0 || info->biClrUsed == 16);
  // Header, 16 palette entries and 15 rows of 8 bytes: the 238-byte file less its 14-byte header.
  CHECK(g, SizeofResource(file, found) == 40 + 16 * 4 + 15 * 8);
  // Something is drawn: more than one palette index is in use.
  const auto* rows = reinterpret_cast<const BYTE*>(info) + 40 + 16 * 4;
  bool mixed = false;
  for (int i = 1; i < 15 * 8; ++i) mixed = mixed || rows[i] != rows[0];
  CHECK(g, mixed);
}

std::wstring stringValue(const std::vector<BYTE>& block, const wchar_t* name) {
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr) return L"<missing>";
  return static_cast<const wchar_t*>(value);
}

void checkVersion(const char* g, const wchar_t* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (!CHECK(g, size > 0)) return;
  std::vector<BYTE> block(size);
  if (!CHECK(g, GetFileVersionInfoW(path, 0, size, block.data()))) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (CHECK(g, VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)) {
    CHECK(g, fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0);
    CHECK(g, fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0);
  }
  CHECK(g, stringValue(block, L"FileVersion") == L"1.00");
  CHECK(g, stringValue(block, L"ProductVersion") == L"1.00");
  CHECK(g, stringValue(block, L"InternalName") == L"Trazolib");
  CHECK(g, stringValue(block, L"OriginalFilename") == L"Trazolib.ocx");
  CHECK(g, stringValue(block, L"OLESelfRegister") != L"<missing>");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) CHECK("resources", !"no file given");
  for (int i = 1; i < argc; ++i) {
    HMODULE file = LoadLibraryExW(argv[i], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const char* g = sizeof(void*) == 8 ? "resources win64" : "resources win32";
    if (!CHECK(g, file != nullptr)) continue;
    checkImages(g, file);
    checkVersion(g, argv[i]);
    FreeLibrary(file);
  }
  return trazo::wintest::finish();
}
