// Walks the type library embedded in Trazolib.ocx and holds every item to the member table
// in automation/member_table.hpp: library attributes, the three type descriptions in order with
// their flags and versions, the eight members with dispatch ids, kinds, parameter names and
// types in function-table order, and the MouseMove event.
//   typelib_test.exe FILE.ocx win64|win32 [FILE.ocx win64|win32 ...]
#include "check.hpp"

#include "automation/member_table.hpp"

#include "Trazolib.h"

#include <oleauto.h>
#include <windows.h>

#include <string>
#include <string_view>

using namespace trazo;

namespace {

// {00020430-0000-0000-C000-000000000046}, the standard automation library.
constexpr GUID kStdOle = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr WORD kDualFlags =
    TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;

std::wstring widen(std::string_view s) { return {s.begin(), s.end()}; }

std::wstring nameOf(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return L"?";
  std::wstring out = name != nullptr ? name : L"";
  SysFreeString(name);
  return out;
}

VARTYPE vt(VarType t) { return static_cast<VARTYPE>(t); }

void checkLibrary(const char* g, ITypeLib* lib, SYSKIND platform) {
  TLIBATTR* attr = nullptr;
  if (!CHECK(g, SUCCEEDED(lib->GetLibAttr(&attr)))) return;
  CHECK(g, IsEqualGUID(attr->guid, LIBID_Trazolib));
  CHECK(g, attr->lcid == 0x0409);
  CHECK(g, attr->syskind == platform);
  CHECK(g, attr->wMajorVerNum == 2 && attr->wMinorVerNum == 0);
  CHECK(g, (attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE) == LIBFLAG_FCONTROL);
  lib->ReleaseTLibAttr(attr);

  BSTR name = nullptr, help = nullptr, helpFile = nullptr;
  if (CHECK(g, SUCCEEDED(lib->GetDocumentation(-1, &name, &help, nullptr, &helpFile)))) {
    CHECK(g, name != nullptr && widen(kLibraryName) == name);
    CHECK(g, help != nullptr && widen(kLibraryName) == help);
    CHECK(g, helpFile == nullptr || SysStringLen(helpFile) == 0);
  }
  SysFreeString(name);
  SysFreeString(help);
  SysFreeString(helpFile);
  CHECK(g, lib->GetTypeInfoCount() == 3);
}

// One type description: kind, identifier, flags, version and name.
void checkTypeAttr(const char* g, ITypeInfo* info, TYPEKIND kind, REFGUID guid, WORD flags, std::string_view name,
                   WORD unsure = 0) {
  TYPEATTR* attr = nullptr;
  if (!CHECK(g, SUCCEEDED(info->GetTypeAttr(&attr)))) return;
  CHECK(g, attr->typekind == kind);
  CHECK(g, IsEqualGUID(attr->guid, guid));
  if (!CHECK(g, (attr->wTypeFlags & ~unsure) == (flags & ~unsure)))
    std::printf("     flags 0x%04X\n", attr->wTypeFlags);
  CHECK(g, attr->wMajorVerNum == 1 && attr->wMinorVerNum == 0);
  CHECK(g, nameOf(info) == widen(name));
  info->ReleaseTypeAttr(attr);
}

// _Trazo's function table: the eight members right after IDispatch's seven slots.
void checkMembers(const char* g, ITypeInfo* dispatchView) {
  HREFTYPE ref = 0;
  ITypeInfo* vtable = nullptr;
  if (!CHECK(g, SUCCEEDED(dispatchView->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
                    SUCCEEDED(dispatchView->GetRefTypeInfo(ref, &vtable))))
    return;
  TYPEATTR* attr = nullptr;
  vtable->GetTypeAttr(&attr);
  CHECK(g, attr->typekind == TKIND_INTERFACE);
  if (!CHECK(g, attr->wTypeFlags == kDualFlags)) std::printf("     flags 0x%04X\n", attr->wTypeFlags);
  CHECK(g, attr->cFuncs == kMembers.size());
  vtable->ReleaseTypeAttr(attr);

  // The base is stdole2's IDispatch.
  ITypeInfo* base = nullptr;
  ITypeLib* baseLib = nullptr;
  UINT index = 0;
  if (CHECK(g, SUCCEEDED(vtable->GetRefTypeOfImplType(0, &ref)) && SUCCEEDED(vtable->GetRefTypeInfo(ref, &base)))) {
    CHECK(g, nameOf(base) == L"IDispatch");
    TLIBATTR* libAttr = nullptr;
    if (SUCCEEDED(base->GetContainingTypeLib(&baseLib, &index)) && SUCCEEDED(baseLib->GetLibAttr(&libAttr))) {
      CHECK(g, IsEqualGUID(libAttr->guid, kStdOle));
      baseLib->ReleaseTLibAttr(libAttr);
      baseLib->Release();
    } else {
      CHECK(g, !"IDispatch's library");
    }
    base->Release();
  }

  for (std::size_t i = 0; i < kMembers.size(); ++i) {
    const MemberInfo& m = kMembers[i];
    FUNCDESC* f = nullptr;
    if (!CHECK(g, SUCCEEDED(vtable->GetFuncDesc(static_cast<UINT>(i), &f)))) continue;
    std::printf("     member %zu: %.*s\n", i + 1, static_cast<int>(m.name.size()), m.name.data());
    CHECK(g, f->memid == m.dispId);
    CHECK(g, f->oVft == static_cast<SHORT>((7 + i) * sizeof(void*)));
    CHECK(g, f->funckind == FUNC_PUREVIRTUAL && f->callconv == CC_STDCALL);
    CHECK(g, f->invkind == (m.kind == MemberKind::PropertyGet ? INVOKE_PROPERTYGET : INVOKE_FUNC));
    CHECK(g, f->elemdescFunc.tdesc.vt == VT_HRESULT);
    CHECK(g, f->cParamsOpt == 0);
    const std::size_t retval = m.result == VarType::Empty ? 0 : 1;
    CHECK(g, static_cast<std::size_t>(f->cParams) == m.params.size() + retval);
    for (std::size_t p = 0; p < m.params.size() && p < static_cast<std::size_t>(f->cParams); ++p) {
      const ELEMDESC& e = f->lprgelemdescParam[p];
      CHECK(g, e.tdesc.vt == vt(m.params[p].type));
      CHECK(g, (e.paramdesc.wParamFlags & (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL | PARAMFLAG_FOPT)) == 0);
    }
    if (retval != 0 && f->cParams > 0) {
      const ELEMDESC& e = f->lprgelemdescParam[f->cParams - 1];
      CHECK(g, e.tdesc.vt == VT_PTR && e.tdesc.lptdesc->vt == vt(m.result));
      CHECK(g,
            (e.paramdesc.wParamFlags & (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)) == (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL));
    }
    BSTR names[12] = {};
    UINT got = 0;
    vtable->GetNames(f->memid, names, 12, &got);
    CHECK(g, got >= m.params.size() + 1);
    CHECK(g, names[0] != nullptr && widen(m.name) == names[0]);
    bool spelled = true;
    for (std::size_t p = 0; p < m.params.size() && p + 1 < got; ++p) {
      spelled = spelled && names[p + 1] != nullptr && widen(m.params[p].name) == names[p + 1];
    }
    CHECK(g, spelled);  // names and case exactly as the table has them
    for (BSTR& n : names) SysFreeString(n);
    vtable->ReleaseFuncDesc(f);
  }

  // Count has no setter, and AddText has no parameter called lType.
  MEMBERID ids[2] = {};
  std::wstring text = L"AddText", lType = L"lType";
  LPOLESTR names[2] = {text.data(), lType.data()};
  CHECK(g, FAILED(vtable->GetIDsOfNames(names, 2, ids)));
  FUNCDESC* f = nullptr;
  bool putCount = false;
  for (UINT i = 0; SUCCEEDED(vtable->GetFuncDesc(i, &f)); ++i) {
    putCount = putCount || (f->memid == dispid::Count && f->invkind != INVOKE_PROPERTYGET);
    vtable->ReleaseFuncDesc(f);
  }
  CHECK(g, !putCount);
  vtable->Release();
}

void checkClass(const char* g, ITypeInfo* info) {
  checkTypeAttr(g, info, TKIND_COCLASS, CLSID_Trazo, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL, kClassName);
  const struct {
    int flags;
    const GUID* iid;
  } expected[2] = {{IMPLTYPEFLAG_FDEFAULT, &IID__Trazo}, {IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE, &DIID___Trazo}};
  for (UINT i = 0; i < 2; ++i) {
    int flags = 0;
    HREFTYPE ref = 0;
    ITypeInfo* impl = nullptr;
    if (!CHECK(g, SUCCEEDED(info->GetImplTypeFlags(i, &flags)) && SUCCEEDED(info->GetRefTypeOfImplType(i, &ref)) &&
                      SUCCEEDED(info->GetRefTypeInfo(ref, &impl))))
      continue;
    CHECK(g, flags == expected[i].flags);
    TYPEATTR* attr = nullptr;
    impl->GetTypeAttr(&attr);
    CHECK(g, IsEqualGUID(attr->guid, *expected[i].iid));
    impl->ReleaseTypeAttr(attr);
    impl->Release();
  }
}

void checkEvent(const char* g, ITypeInfo* info) {
  checkTypeAttr(g, info, TKIND_DISPATCH, DIID___Trazo,
                TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE, kEventInterfaceName);
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  CHECK(g, attr->cFuncs == 1);
  info->ReleaseTypeAttr(attr);
  FUNCDESC* f = nullptr;
  if (!CHECK(g, SUCCEEDED(info->GetFuncDesc(0, &f)))) return;
  const MemberInfo& e = kMouseMoveEvent;
  CHECK(g, f->memid == e.dispId);
  CHECK(g, f->invkind == INVOKE_FUNC);
  CHECK(g, f->elemdescFunc.tdesc.vt == VT_VOID);
  CHECK(g, static_cast<std::size_t>(f->cParams) == e.params.size());
  BSTR names[6] = {};
  UINT got = 0;
  info->GetNames(f->memid, names, 6, &got);
  CHECK(g, got == e.params.size() + 1 && widen(e.name) == names[0]);
  for (std::size_t p = 0; p < e.params.size() && p < static_cast<std::size_t>(f->cParams); ++p) {
    const ELEMDESC& d = f->lprgelemdescParam[p];
    std::printf("     parameter %.*s\n", static_cast<int>(e.params[p].name.size()), e.params[p].name.data());
    CHECK(g, d.tdesc.vt == VT_PTR && d.tdesc.lptdesc->vt == vt(e.params[p].type));
    CHECK(g, (d.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT)) == (PARAMFLAG_FIN | PARAMFLAG_FOUT));
    CHECK(g, p + 1 < got && names[p + 1] != nullptr && widen(e.params[p].name) == names[p + 1]);
  }
  for (BSTR& n : names) SysFreeString(n);
  info->ReleaseFuncDesc(f);
}

void checkFile(const wchar_t* path, SYSKIND platform) {
  const char* g = platform == SYS_WIN64 ? "typelib win64" : "typelib win32";
  ITypeLib* lib = nullptr;
  if (!CHECK(g, SUCCEEDED(LoadTypeLibEx(path, REGKIND_NONE, &lib)))) return;
  checkLibrary(g, lib, platform);
  // The three descriptions, in this order.
  ITypeInfo* infos[3] = {};
  for (UINT i = 0; i < 3; ++i) lib->GetTypeInfo(i, &infos[i]);
  if (CHECK(g, infos[0] && infos[1] && infos[2])) {
    // Whether the dispatch view of a dual interface reports the automation flag depends on
    // the type-library loader; the function-table view must have it.
    checkTypeAttr(g, infos[0], TKIND_DISPATCH, IID__Trazo, kDualFlags, kInterfaceName, TYPEFLAG_FOLEAUTOMATION);
    checkMembers(g, infos[0]);
    checkClass(g, infos[1]);
    checkEvent(g, infos[2]);
  }
  for (ITypeInfo* info : infos)
    if (info) info->Release();
  lib->Release();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CoInitialize(nullptr);
  for (int i = 1; i + 1 < argc; i += 2) {
    checkFile(argv[i], std::wstring_view(argv[i + 1]) == L"win32" ? SYS_WIN32 : SYS_WIN64);
  }
  if (argc < 3) CHECK("typelib", !"no file given");
  CoUninitialize();
  return wintest::finish();
}
