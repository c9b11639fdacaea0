// One table of hostile arguments, passed to AddLine as its x1 (Double), col (Long) and
// Tag (String) through the registered control's IDispatch, where the platform's coercion
// (ITypeInfo::Invoke, VariantChangeType) converts them, and through the core's late
// binding, built into this program: each call must get the same status from both, and
// store an entity in both or in neither. Run under the US English locale, the one the
// core's coercion reads text in.
//   coercion_test.exe
#include "check.hpp"

#include "automation/late_binding.hpp"
#include "automation/member_table.hpp"
#include "control/trazo.hpp"

#include "Trazolib.h"

#include <oleauto.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

using namespace trazo;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

enum class Kind { Empty, Null, Boolean, Short, Long, Single, Double, Date, String, Array, Nothing, Object, NoValue };

struct Hostile {
  const char* what;
  Kind kind;
  double number = 0;
  std::u16string text = {};  // a String's, or the text an Object stands for
};

// An object whose default value (DISPID_VALUE) is a number or a text, or that has none.
class ValueObject final : public IDispatch, public AutomationObject {
 public:
  explicit ValueObject(const Hostile& h) : hostile_(h) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (hostile_.kind == Kind::NoValue || id != DISPID_VALUE || result == nullptr) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    if (hostile_.text.empty()) {
      result->vt = VT_R8;
      result->dblVal = hostile_.number;
    } else {
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(hostile_.text.data()),
                                          static_cast<UINT>(hostile_.text.size()));
    }
    return S_OK;
  }
  // The core's side of the same object.
  Status value(Variant& out) const override {
    if (hostile_.kind == Kind::NoValue) return status::memberNotFound;
    if (hostile_.text.empty()) out = hostile_.number;
    else out = hostile_.text;
    return status::ok;
  }

 private:
  const Hostile& hostile_;
  ULONG refs_ = 1;
};

VARIANT toVariant(const Hostile& h, ValueObject& object) {
  VARIANT v;
  VariantInit(&v);
  switch (h.kind) {
    case Kind::Empty: break;
    case Kind::Null: v.vt = VT_NULL; break;
    case Kind::Boolean: v.vt = VT_BOOL, v.boolVal = h.number != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
    case Kind::Short: v.vt = VT_I2, v.iVal = static_cast<SHORT>(h.number); break;
    case Kind::Long: v.vt = VT_I4, v.lVal = static_cast<LONG>(h.number); break;
    case Kind::Single: v.vt = VT_R4, v.fltVal = static_cast<float>(h.number); break;
    case Kind::Double: v.vt = VT_R8, v.dblVal = h.number; break;
    case Kind::Date: v.vt = VT_DATE, v.date = h.number; break;
    case Kind::String:
      v.vt = VT_BSTR;
      v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(h.text.data()), static_cast<UINT>(h.text.size()));
      break;
    case Kind::Array: {
      SAFEARRAYBOUND bound{1, 0};
      v.vt = VT_ARRAY | VT_R8;
      v.parray = SafeArrayCreate(VT_R8, 1, &bound);
      break;
    }
    case Kind::Nothing: v.vt = VT_DISPATCH, v.pdispVal = nullptr; break;
    case Kind::Object:
    case Kind::NoValue: v.vt = VT_DISPATCH, v.pdispVal = &object; break;
  }
  return v;
}

Variant toCore(const Hostile& h, const ValueObject& object) {
  switch (h.kind) {
    case Kind::Empty: return std::monostate{};
    case Kind::Null: return Null{};
    case Kind::Boolean: return h.number != 0;
    case Kind::Short: return static_cast<std::int16_t>(h.number);
    case Kind::Long: return static_cast<std::int32_t>(h.number);
    case Kind::Single: return static_cast<float>(h.number);
    case Kind::Double: return h.number;
    case Kind::Date: return Date{h.number};
    case Kind::String: return h.text;
    case Kind::Array: return Array{};
    case Kind::Nothing: return static_cast<const AutomationObject*>(nullptr);
    case Kind::Object:
    case Kind::NoValue: break;
  }
  return static_cast<const AutomationObject*>(&object);
}

const std::vector<Hostile>& hostileArguments() {
  static const std::vector<Hostile> table = [] {
    std::vector<Hostile> t = {
        {"Empty", Kind::Empty},
        {"Null", Kind::Null},
        {"True", Kind::Boolean, 1},
        {"False", Kind::Boolean, 0},
        {"a Short", Kind::Short, -7},
        {"the smallest Long", Kind::Long, -2147483648.0},
        {"NaN", Kind::Double, kNaN},
        {"-NaN", Kind::Double, -kNaN},
        {"+infinity", Kind::Double, kInf},
        {"-infinity", Kind::Double, -kInf},
        {"0.5", Kind::Double, 0.5},
        {"1.5", Kind::Double, 1.5},
        {"2.5", Kind::Double, 2.5},
        {"-2.5", Kind::Double, -2.5},
        {"2147483647.5", Kind::Double, 2147483647.5},
        {"2147483647.49", Kind::Double, 2147483647.49},
        {"-2147483648.5", Kind::Double, -2147483648.5},
        {"-2147483648.51", Kind::Double, -2147483648.51},
        {"1e300", Kind::Double, 1e300},
        {"-0", Kind::Double, -0.0},
        {"a denormal", Kind::Double, 1e-320},
        {"the largest Double", Kind::Double, std::numeric_limits<double>::max()},
        {"a Single NaN", Kind::Single, kNaN},
        {"a Single infinity", Kind::Single, kInf},
        {"a Single 2.5", Kind::Single, 2.5},
        {"a Single 3.4e38", Kind::Single, 3.4e38},
        {"the date 0", Kind::Date, 0},
        {"a date and time", Kind::Date, 45000.5},
        {"a date before 1899", Kind::Date, -1.25},
        {"the date 2.5", Kind::Date, 2.5},
        {"the date 3.5", Kind::Date, 3.5},
        {"the last moment of 9999", Kind::Date, 2958465.99999},
        {"a date past 9999", Kind::Date, 2958466},
        {"a date before the year 100", Kind::Date, -657435},
        {"a date of 1e300", Kind::Date, 1e300},
        {"a NaN date", Kind::Date, kNaN},
        {"an infinite date", Kind::Date, kInf},
        {"an array", Kind::Array},
        {"Nothing", Kind::Nothing},
        {"an object worth 2.5", Kind::Object, 2.5},
        {"an object worth \"&H10\"", Kind::Object, 0, u"&H10"},
        {"an object worth \"abc\"", Kind::Object, 0, u"abc"},
        {"an object without a value", Kind::NoValue},
    };
    // clang-format off
    // Texts, each for the three parameters.
    for (const char16_t* text :
         {u"", u" ", u"1", u" 7 ", u"\t3\t", u"\n3\r", u"\u3000" u"3", u"\u00A0" u"3", u"3\u2028", u"\u200B" u"3",
          u"1,5", u"1,000", u"1,,5", u",5", u"1,5.5", u"1.5,5", u"5,", u"123,456,789.25", u"1 ,5", u"1, 5", u"1.5",
          u".5", u"5.", u".", u"1.5.5", u"1e400", u"-1e400", u"1e-400", u"1E+3", u"1e+", u"1e", u"e5", u"1d3",
          u"1.5e+-5", u"1e5e5", u"1e5-", u"5.e5", u".5e5", u"&HFFFF", u"&H10", u"&hff", u"&HFFFFFFFF",
          u"&H80000000", u"&H80000001", u"&H7FFFFFFF", u"&H100000000", u"&HFFFFFFFFFFFFFFFF", u"&O17", u"&o777",
          u"&O37777777777", u"&O8", u"&17", u"&H", u"&HG", u"&H1.5", u"&H1e5", u"-&H10", u"(&H10)", u"&H10-",
          u"$&H10", u"&H10$", u"0x10", u"NaN", u"Infinity", u"inf", u"+5", u"-5", u"5-", u"5+", u"(5)", u"-(5)",
          u"(-5)", u"(5-)", u"( 5 )", u"(5", u"5)", u"((5))", u"+-5", u"--5", u"-5-", u"++5", u"5++", u"- 5",
          u"$5", u"5$", u"$-5", u"-$5", u"$5$", u"$$5", u"$1,000.50", u"$1e5", u"1e5$", u"$.5", u"$,5",
          u"\u00A5" u"5", u"2147483647.5", u"2147483648", u"-2147483648.5", u"-2147483649", u"2147483646.5",
          u"0.5", u"1.5", u"2.5", u"-2.5", u"00000000000000000000000000000000000000001", u"-0", u"0-",
          u"4.94065645841246544e-324", u"0.1", u"123456789012345678901234567890", u"1e-330", u"\u0661", u"\uFF11",
          u"A", u"true", u"True", u"#1/1/2000#", u"1/1/2000", u"12:00", u"1 2", u"%5", u"5%", u"1_000",
          u"\xD800"}) {
      // clang-format on
      t.push_back({nullptr, Kind::String, 0, text});
    }
    t.push_back({nullptr, Kind::String, 0,
                 std::u16string(u"12\0"
                                u"junk",
                                7)});  // ends at the NUL
    t.push_back({nullptr, Kind::String, 0,
                 std::u16string(u"\0"
                                u"12",
                                3)});
    t.push_back({nullptr, Kind::String, 0, std::u16string(600, u'0') + u"5"});  // longer than any limit
    t.push_back({nullptr, Kind::String, 0, std::u16string(300, u' ') + u"5"});
    return t;
  }();
  return table;
}

// A readable name for a case: its description, or the text between quotes.
std::string nameOf(const Hostile& h) {
  if (h.what != nullptr) return h.what;
  std::string name = "\"";
  for (const char16_t c : h.text.substr(0, 40)) {
    char escape[12];
    std::snprintf(escape, sizeof escape, c >= 0x20 && c < 0x7F ? "%c" : "\\u%04x", static_cast<unsigned>(c));
    name += escape;
  }
  return name + (h.text.size() > 40 ? "...\"" : "\"");
}

LONG countOf(IDispatch* d) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  if (FAILED(d->Invoke(dispid::Count, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                       nullptr)) ||
      result.vt != VT_I4) {
    return -1;
  }
  return result.lVal;
}

}  // namespace

int wmain() {
  CoInitialize(nullptr);
  IDispatch* control = nullptr;
  const HRESULT created =
      CoCreateInstance(CLSID_Trazo, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&control));
  if (!CHECK("creation", created == S_OK && control != nullptr)) return wintest::finish();
  trazo::Trazo core;
  (void)core.onInitialize();

  struct Target {
    const char* name;
    std::size_t index;  // AddLine's parameter
  };
  const Target targets[] = {{"x1 (Double)", 0}, {"col (Long)", 4}, {"Tag (String)", 6}};
  for (const Hostile& h : hostileArguments()) {
    for (const Target& target : targets) {
      ValueObject object(h);
      // The platform's side: the arguments in reverse order, all good but the hostile one.
      VARIANT args[7];
      for (VARIANT& v : args) VariantInit(&v), v.vt = VT_R8, v.dblVal = 1;
      args[0].vt = VT_BSTR, args[0].bstrVal = SysAllocString(L"tag");
      args[6 - target.index] = toVariant(h, object);
      DISPPARAMS params{args, nullptr, 7, 0};
      EXCEPINFO exception{};
      UINT argError = 0;
      const LONG countBefore = countOf(control);
      const HRESULT platform = control->Invoke(dispid::AddLine, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                               nullptr, &exception, &argError);
      const bool platformStored = countOf(control) == countBefore + 1;
      for (VARIANT& v : args) {
        if (v.vt != VT_DISPATCH) VariantClear(&v);  // the objects live on the stack
      }
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);

      // The core's side.
      std::vector<Variant> positional{1.0, 1.0, 1.0, 1.0, 1.0, 1.0, std::u16string(u"tag")};
      positional[target.index] = toCore(h, object);
      const std::int32_t coreBefore = core.store().count();
      const Status coreStatus = invoke(core, dispid::AddLine, kInvokeMethod, positional, {});
      const bool coreStored = core.store().count() == coreBefore + 1;

      const std::string what = nameOf(h) + " for " + target.name;
      const bool same = platform == coreStatus && platformStored == coreStored;
      wintest::record(same, "coercion", what.c_str(), __FILE__, __LINE__);
      if (!same) {
        std::printf("     the platform 0x%08lX%s, the core 0x%08lX%s\n", static_cast<unsigned long>(platform),
                    platformStored ? " (stored)" : "", static_cast<unsigned long>(coreStatus),
                    coreStored ? " (stored)" : "");
      }
    }
  }
  core.onTerminate();
  control->Release();
  CoUninitialize();
  return wintest::finish();
}
