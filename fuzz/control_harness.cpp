#include "fuzz/control_harness.hpp"

#include "automation/late_binding.hpp"
#include "picture/null_surface.hpp"
#include "fuzz/hostile_values.hpp"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <vector>

namespace trazo::fuzz {
namespace {

[[noreturn]] void violated(const std::string& what) {
  std::fprintf(stderr, "invariant violated: %s\n", what.c_str());
  std::abort();
}

bool known(Status s) {
  switch (s) {
    case status::ok:
    case status::overflow:
    case status::outOfMemory:
    case status::subscript:
    case status::floatError:
    case status::memberNotFound:
    case status::paramNotFound:
    case status::typeMismatch:
    case status::dispOverflow:
    case status::badVarType:
    case status::invalidArgument:
    case status::badParamCount:
    case status::invalidCall:
    case status::unexpected: return true;
    default: return false;
  }
}

bool isAdd(std::int32_t dispId) {
  return dispId == dispid::AddLine || dispId == dispid::AddCircle || dispId == dispid::AddCircle2 ||
         dispId == dispid::AddText;
}

std::int16_t kindOf(std::int32_t dispId) {
  switch (dispId) {
    case dispid::AddCircle: return kKindCircle;
    case dispid::AddCircle2: return kKindArc;
    case dispid::AddText: return kKindText;
    default: return kKindLine;
  }
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// A client area whose every reading may fail or be any number at all.
class HostileClientArea : public ClientArea {
 public:
  explicit HostileClientArea(FuzzedDataProvider& in) {
    for (auto& r : readings_) {
      r.fails = in.ConsumeIntegralInRange(0, 7) == 0;
      r.value = hostileSingle(in);
    }
  }
  Status scaleLeft(float& v) override { return read(0, v); }
  Status scaleTop(float& v) override { return read(1, v); }
  Status scaleWidth(float& v) override { return read(2, v); }
  Status scaleHeight(float& v) override { return read(3, v); }

 private:
  Status read(int i, float& v) {
    if (readings_[i].fails) return status::unexpected;
    v = readings_[i].value;
    return status::ok;
  }
  struct Reading {
    bool fails;
    float value;
  } readings_[4];
};

// A recording picture that refuses every operation from the n-th on, as a window that
// goes away in the middle of a repaint would.
class FailingSurface : public RecordingSurface {
 public:
  FailingSurface(std::ostream& out, double w, double h, int failFrom) : RecordingSurface(out, w, h), left_(failFrom) {}
  Status cls() override { return gate() ? RecordingSurface::cls() : status::unexpected; }
  Status setScaleMode(std::int32_t m) override {
    return gate() ? RecordingSurface::setScaleMode(m) : status::unexpected;
  }
  Status scaleWidth(float& w) override { return gate() ? RecordingSurface::scaleWidth(w) : status::unexpected; }
  Status scaleHeight(float& h) override { return gate() ? RecordingSurface::scaleHeight(h) : status::unexpected; }
  Status setScale(double a, double b, double c, double d) override {
    return gate() ? RecordingSurface::setScale(a, b, c, d) : status::unexpected;
  }
  Status setDrawStyle(std::int32_t s) override {
    return gate() ? RecordingSurface::setDrawStyle(s) : status::unexpected;
  }
  Status line(float a, float b, float c, float d, Rgb k) override {
    return gate() ? RecordingSurface::line(a, b, c, d, k) : status::unexpected;
  }

 private:
  bool gate() { return left_-- > 0; }
  int left_;
};

}  // namespace

void CheckingSink::MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  ++calls;
  button = Button;
  shift = Shift;
  x = X;
  y = Y;
  Button = -1;
  Shift = -1;
  X = -1;
  Y = -1;
}

template <typename Call>
auto ControlHarness::failing(Call&& call) {
  if (!pending_) return call();
  using Result = decltype(call());
  const Failure f = *pending_;
  pending_.reset();
  if constexpr (std::is_void_v<Result>) {
    testing::FailingAllocationScope scope(f.k, f.mode);
    call();
  } else {
    Result s{};
    {
      testing::FailingAllocationScope scope(f.k, f.mode);
      s = call();
    }
    if (testing::failureInjected() && s != status::ok && s != status::outOfMemory) {
      violated("a failing allocation ended a call with " + statusKind(s));
    }
    return s;
  }
}

ControlHarness::ControlHarness() {
  picture_ = std::make_unique<NullSurface>(4000, 2000);
  control_.attachPicture(*picture_);
  if (failed(control_.onInitialize())) violated("a fresh control could not be cleared");
  for (int i = 0; i < 2; ++i) cookies_[i] = control_.connect(sinks_[i]);
  commit();
}

ControlHarness::~ControlHarness() {
  expectEntitiesKept("the end of the input", true);
  control_.onTerminate();
}

void ControlHarness::step(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 13)) {
    case 0:
    case 1: invokeById(in, hostileDispId(in)); break;
    case 2: invokeByName(in); break;
    case 3: addDirectly(in); break;
    case 4: reflash(in.ConsumeBool()); break;
    case 5: clear(in.ConsumeBool()); break;
    case 6: invokeById(in, dispid::Count); break;
    case 7: resize(in); break;
    case 8: mouseMove(in); break;
    case 9: terminate(); break;
    case 10: attachPicture(in); break;
    case 11: addMany(in); break;
    case 12: {
      const auto mode = in.ConsumeBool() ? testing::FailureMode::Once : testing::FailureMode::Persistent;
      pending_ = Failure{in.ConsumeIntegralInRange<std::uint64_t>(1, 64), mode};
      break;
    }
    default: {
      // connect or disconnect one sink, so that events meet changing connections
      const int i = in.ConsumeIntegralInRange(0, 1);
      if (cookies_[i] != 0) {
        if (!control_.disconnect(cookies_[i])) violated("a connected sink could not be disconnected");
        if (control_.disconnect(cookies_[i])) violated("a sink was disconnected twice");
        cookies_[i] = 0;
      } else {
        cookies_[i] = control_.connect(sinks_[i]);
      }
    }
  }
}

void ControlHarness::invokeById(FuzzedDataProvider& in, std::int32_t dispId) {
  if (dispId == dispid::Clear) expectEntitiesKept("before Clear", true);
  static constexpr std::uint16_t flagChoices[] = {
      kInvokeMethod, kInvokePropertyGet, kInvokeMethod | kInvokePropertyGet, kInvokePropertyPut, 0, 8, 0xFFFF};
  const std::uint16_t flags = in.ConsumeBool() ? static_cast<std::uint16_t>(kInvokeMethod | kInvokePropertyGet)
                                               : flagChoices[in.ConsumeIntegralInRange(0, 6)];
  std::vector<Variant> positional(in.ConsumeIntegralInRange<std::size_t>(0, in.ConsumeBool() ? 9 : 12));
  for (Variant& v : positional) v = hostileVariant(in);
  std::vector<NamedArgument> named(in.ConsumeIntegralInRange<std::size_t>(0, 4));
  for (NamedArgument& a : named) a = {hostileParamIndex(in), hostileVariant(in)};

  Variant result;
  std::int32_t argError = -7;
  const Status s = failing([&] { return invoke(control_, dispId, flags, positional, named, &result, &argError); });

  const MemberInfo* member = findMember(dispId);
  if (member == nullptr && s != status::memberNotFound) violated("an unknown dispatch id did not fail as unknown");
  if (member != nullptr && s != status::memberNotFound && positional.size() + named.size() != member->params.size() &&
      s != status::badParamCount) {
    violated("a wrong argument count was not refused");
  }
  if (dispId == dispid::Count && s == status::ok) {
    const auto* value = std::get_if<std::int32_t>(&result);
    if (value == nullptr || *value != control_.store().count()) violated("Count returned something else");
  }
  const bool refusedArguments =
      (s >= status::memberNotFound && s <= status::paramNotOptional) || s == status::invalidArgument;
  const bool reachedMember = member != nullptr && !refusedArguments;
  afterMember(reachedMember ? dispId : 0, s);
}

void ControlHarness::invokeByName(FuzzedDataProvider& in) {
  const std::string name = hostileName(in);
  const MemberInfo* member = findMember(name);
  for (const MemberInfo& m : kMembers) {
    if (sameNameIgnoringCase(m.name, name) != (member == &m)) violated("findMember(\"" + name + "\") is wrong");
  }
  if (member == nullptr) return;
  const std::string paramName = hostileName(in);
  const auto param = findParam(*member, paramName);
  for (std::size_t i = 0; i < member->params.size(); ++i) {
    if (sameNameIgnoringCase(member->params[i].name, paramName) != (param && *param == static_cast<std::int32_t>(i)))
      violated("findParam(\"" + paramName + "\") is wrong");
  }
  invokeById(in, member->dispId);
}

// Adds through the C++ members with raw doubles, and checks that the record keeps them bit
// for bit.
void ControlHarness::addDirectly(FuzzedDataProvider& in) {
  double v[5];
  for (double& d : v) d = hostileDouble(in);
  const std::int32_t col = hostileLong(in);
  const std::int32_t lType = hostileLong(in);
  const std::u16string tag = hostileString(in);
  const int which = in.ConsumeIntegralInRange(0, 4);
  const std::u16string text = which == 3 ? hostileString(in) : std::u16string();
  static constexpr std::int32_t kDispIds[] = {dispid::AddLine, dispid::AddCircle, dispid::AddCircle2, dispid::AddText,
                                              dispid::AddBox};
  const std::int32_t dispId = kDispIds[which];
  const Status s = failing([&] {
    switch (which) {
      case 0: return control_.AddLine(v[0], v[1], v[2], v[3], col, lType, tag);
      case 1: return control_.AddCircle(v[0], v[1], v[2], col, lType, tag);
      case 2: return control_.AddCircle2(v[0], v[1], v[2], v[3], v[4], col, lType, tag);
      case 3: return control_.AddText(v[0], v[1], v[2], v[3], col, text, tag);
      default: return control_.AddBox(v[0], v[1], v[2], v[3], col, lType, tag);
    }
  });
  if (s == status::ok && which < 4) {
    const Entity e = *control_.store().at(control_.store().count());
    const int stored = which == 0 ? 4 : which == 1 ? 3 : which == 2 ? 5 : 4;
    const double* fields[5] = {&e.Value1, &e.Value2, &e.Value3, &e.Value4, &e.Value5};
    for (int i = 0; i < stored; ++i) {
      if (!testing::sameBits(*fields[i], v[i])) violated("a stored value is not the value passed");
    }
    if (e.Col != col || e.Tag.size() != tag.size() || (which != 3 && e.LineType != lType))
      violated("a stored field changed");
  }
  afterMember(dispId, s);
}

// Enough lines at once to take the store to and across its block boundaries, which single
// calls decoded from a short input would never reach.
void ControlHarness::addMany(FuzzedDataProvider& in) {
  static constexpr std::int32_t counts[] = {1, 998, 999, 1000, 1001};
  // A thousand adds cost what a thousand other operations do: an input gets two such runs
  // at most, enough to cross the first two block boundaries, and any one operation is
  // rarely one.
  const bool many = in.ConsumeIntegralInRange(0, 15) == 0 && manyLeft_ > 0;
  const std::int32_t n = many ? counts[in.ConsumeIntegralInRange(0, 4)] : 1;
  if (n > 1) --manyLeft_;
  // A short tag (held in the string itself, no allocation): a thousand great or even
  // allocated tags would measure the allocator rather than the store's growth.
  const std::u16string tag = hostileString(in).substr(0, 7);
  for (std::int32_t i = 0; i < n; ++i) {
    const Status s = control_.AddLine(i, -i, i + 0.5, 1e300, i, -i, tag);
    if (!control_.store().hasArray()) {
      if (s != status::subscript) violated("an add without an array did not fail as out of range");
      afterMember(dispid::AddLine, s);
      return;
    }
    if (s != status::ok) violated("a plain line could not be added");
  }
  if (control_.store().count() != before_.count + n) violated("adding many lines lost some");
  checkCount();
  expectAppended(n, kKindLine);
  if (control_.store().count() != expectedCount_) violated("Count differs from the successful adds");
  commit();
}

void ControlHarness::reflash(bool asPaint) {
  const Status s = failing([&] { return asPaint ? control_.onPaint() : control_.Reflash(); });
  afterMember(dispid::Reflash, s);
}

void ControlHarness::clear(bool asInitialize) {
  expectEntitiesKept("before Clear", true);
  const Status s = failing([&] { return asInitialize ? control_.onInitialize() : control_.Clear(); });
  afterMember(dispid::Clear, s);
}

void ControlHarness::resize(FuzzedDataProvider& in) {
  HostileClientArea area(in);
  failing([&] { control_.onResize(area); });
  afterMember(0, status::ok);
}

void ControlHarness::mouseMove(FuzzedDataProvider& in) {
  const auto button = in.ConsumeIntegral<std::int16_t>();
  const auto shift = in.ConsumeIntegral<std::int16_t>();
  const float x = hostileSingle(in);
  const float y = hostileSingle(in);
  int callsBefore[2] = {sinks_[0].calls, sinks_[1].calls};
  failing([&] { control_.onMouseMove(button, shift, x, y); });
  for (int i = 0; i < 2; ++i) {
    const int expected = callsBefore[i] + (cookies_[i] != 0 ? 1 : 0);
    if (sinks_[i].calls != expected) violated("MouseMove did not reach each connected sink once");
    if (cookies_[i] == 0) continue;
    const CheckingSink& k = sinks_[i];
    // The event's X is the vertical position, its Y the horizontal one.
    if (k.button != button || k.shift != shift ||
        std::bit_cast<std::uint32_t>(k.x) != std::bit_cast<std::uint32_t>(y) ||
        std::bit_cast<std::uint32_t>(k.y) != std::bit_cast<std::uint32_t>(x)) {
      violated("MouseMove carried other values");
    }
  }
  afterMember(0, status::ok);
}

void ControlHarness::terminate() {
  expectEntitiesKept("before Terminate", true);
  failing([&] { control_.onTerminate(); });
  if (control_.store().hasArray() || control_.store().upperBound() != 0) violated("Terminate kept the array");
  commit();
}

void ControlHarness::attachPicture(FuzzedDataProvider& in) {
  const double w = hostileDouble(in);
  const double h = hostileDouble(in);
  std::unique_ptr<Surface> next;
  // A picture that records each call in text, one that refuses from some call on, or one
  // that only keeps its coordinate system (the cheapest, where the first starts).
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: next = std::make_unique<RecordingSurface>(nowhere_, w, h); break;
    case 1: next = std::make_unique<FailingSurface>(nowhere_, w, h, in.ConsumeIntegralInRange(0, 40)); break;
    case 2: next = std::make_unique<NullSurface>(w, h); break;
    default: control_.detachPicture(); break;
  }
  if (next) control_.attachPicture(*next);
  picture_ = std::move(next);
  afterMember(0, status::ok);
}

void ControlHarness::checkCount() {
  const Store& store = control_.store();
  if (store.count() < 0) violated("negative count");
  std::int32_t count = -1;
  if (failed(control_.Count(count)) || count != store.count()) violated("Count is not the store's count");
  if (store.hasArray()) {
    const std::int32_t blocks = count == 0 ? 1 : (count + kBlockSize - 1) / kBlockSize;
    if (store.upperBound() != blocks * kBlockSize) violated("the upper bound is not the next multiple of 1000");
  }
}

void ControlHarness::afterMember(std::int32_t dispId, Status s) {
  if (!known(s)) violated("unknown status " + statusKind(s));
  checkCount();
  const Store& store = control_.store();
  const std::int32_t count = store.count();

  if (dispId == dispid::Clear) {
    if (failed(s)) {
      expectUnchanged("a failed Clear");
    } else {
      if (count != 0 || !testing::sameExtents(store.extents(), Extents{})) violated("Clear left something behind");
      expectedCount_ = 0;
    }
  } else if (dispId == dispid::Reflash) {
    // Reflash may widen a degenerate span and keep it; it never touches an entity.
    if (count != before_.count) violated("Reflash changed the count");
    expectEntitiesKept("Reflash");
    const Extents& now = store.extents();
    const Extents& was = before_.extents;
    if (!(testing::sameBits(now.MinX, was.MinX) || now.MinX <= was.MinX) ||
        !(testing::sameBits(now.MinY, was.MinY) || now.MinY <= was.MinY) ||
        !(testing::sameBits(now.MaxX, was.MaxX) || now.MaxX >= was.MaxX) ||
        !(testing::sameBits(now.MaxY, was.MaxY) || now.MaxY >= was.MaxY)) {
      violated("Reflash narrowed the extents");
    }
  } else if (dispId == dispid::AddBox) {
    // A box is four lines; a failing side ends it and keeps the sides before it.
    const std::int32_t added = count - before_.count;
    if (failed(s) ? (added < 0 || added > 3) : added != 4) violated("AddBox added " + std::to_string(added));
    expectAppended(added, kKindLine);
  } else if (isAdd(dispId) && !failed(s)) {
    if (count != before_.count + 1) violated("a successful add did not add one entity");
    expectAppended(1, kindOf(dispId));
  } else {
    expectUnchanged(failed(s) ? "a failed call" : "a call that adds nothing");
  }
  if (store.hasArray() && count != expectedCount_) violated("Count differs from the successful adds");
  commit();
}

void ControlHarness::expectUnchanged(const char* what) {
  const Store& store = control_.store();
  if (store.count() != before_.count) {
    violated(std::string(what) + ": count " + std::to_string(before_.count) + " became " +
             std::to_string(store.count()));
  }
  if (store.upperBound() != before_.upperBound) violated(std::string(what) + ": the upper bound changed");
  if (store.hasArray() != before_.hasArray) violated(std::string(what) + ": the array appeared or went away");
  if (!testing::sameExtents(store.extents(), before_.extents)) violated(std::string(what) + ": extents changed");
  expectEntitiesKept(what);
}

void ControlHarness::expectEntitiesKept(const char* what, bool every) {
  // Every entity while there are few; else the newest and a window moving over the rest.
  constexpr std::int32_t kFew = 64, kNewest = 8, kWindow = 32;
  const Store& store = control_.store();
  const std::int32_t held = static_cast<std::int32_t>(before_.records.size());
  if (held > 0 && (!store.hasArray() || store.count() < held)) {
    violated(std::string(what) + ": entities lost: " + std::to_string(held) + " before, " +
             std::to_string(store.hasArray() ? store.count() : 0) + " after");
  }
  std::int32_t changed = 0;
  if (every) {
    changed = firstChanged(before_, store, 1, held, true);
  } else if (held <= kFew) {
    changed = firstChanged(before_, store, 1, held, false);
  } else {
    if (window_ > held) window_ = 1;
    const std::int32_t windowEnd = std::min(held, window_ + kWindow - 1);
    changed = firstChanged(before_, store, held - kNewest + 1, held, false);
    if (changed == 0) changed = firstChanged(before_, store, window_, windowEnd, false);
    window_ = windowEnd + 1;
  }
  if (changed != 0) violated(std::string(what) + ": entity " + std::to_string(changed) + " changed");
}

void ControlHarness::expectAppended(std::int32_t added, std::int16_t kind) {
  const Store& store = control_.store();
  expectEntitiesKept("an add");
  for (std::int32_t i = before_.count + 1; i <= store.count(); ++i) {
    if (store.at(i)->Kind != kind) violated("an add stored the wrong kind");
  }
  if (added > 0 && before_.count > 0) {
    // Extents only widen once there is an entity: a bound is either kept or passed.
    const Extents& now = store.extents();
    const Extents& was = before_.extents;
    if (!(testing::sameBits(now.MinX, was.MinX) || now.MinX < was.MinX) ||
        !(testing::sameBits(now.MinY, was.MinY) || now.MinY < was.MinY) ||
        !(testing::sameBits(now.MaxX, was.MaxX) || now.MaxX >= was.MaxX) ||
        !(testing::sameBits(now.MaxY, was.MaxY) || now.MaxY >= was.MaxY)) {
      violated("an add narrowed the extents");
    }
  }
  expectedCount_ += added;
}

void ControlHarness::commit() { refresh(before_, control_.store()); }

}  // namespace trazo::fuzz
