// The web element's view of the module: the control with its lifecycle, late binding over
// the member table (so that JavaScript values are coerced as automation coerces them),
// the picture as canvas bytes, and the script reader.
#include "automation/late_binding.hpp"
#include "automation/member_table.hpp"
#include "picking/picker.hpp"
#include "shells/web/canvas_pixels.hpp"
#include "shells/web/script_glue.hpp"
#include "shells/web/web_control.hpp"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <malloc.h>

#include <optional>
#include <string>
#include <vector>

namespace trazo::web {
namespace {

using emscripten::val;

val arrayOf(const std::vector<std::string>& lines) {
  val array = val::array();
  for (const std::string& line : lines) array.call<void>("push", line);
  return array;
}

// A JavaScript argument as the automation value it stands for: a number is a Double, a
// string a String, a boolean a Boolean, undefined and null are Empty. Anything else has no
// automation type.
bool toVariant(const val& value, Variant& out) {
  const std::string type = value.typeOf().as<std::string>();
  if (type == "number") {
    out = value.as<double>();
  } else if (type == "string") {
    out = value.as<std::u16string>();
  } else if (type == "boolean") {
    out = value.as<bool>();
  } else if (type == "undefined" || value.isNull()) {
    out = std::monostate{};
  } else {
    return false;
  }
  return true;
}

val toValue(const Variant& value) {
  if (const auto* n = std::get_if<std::int32_t>(&value)) return val(*n);
  return val::undefined();
}

class ElementControl {
 public:
  explicit ElementControl(val onMouseMove)
      : web_([handler = std::move(onMouseMove)](std::int16_t Button, std::int16_t Shift, float X, float Y) {
          handler(Button, Shift, X, Y);
        }) {}

  Status initialize() { return web_.initialize(); }
  void resize(double width, double height) { web_.resize(width, height); }
  Status paint(double ratio) { return web_.paint(ratio); }
  void pointerMoved(int button, int shift, double x, double y) {
    web_.pointerMoved(static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y);
  }
  void terminate() { web_.terminate(); }
  // Antialiased lines from the next paint on (the raster's own, the same pixels as Linux's).
  void setAntialias(bool on) { web_.picture().setAntialias(on); }

  std::int32_t entityAt(double x, double y, double tolerance) { return web_.entityAt(x, y, tolerance); }
  // The entity numbers, or null when there is no memory for them.
  val entitiesIn(double x, double y, double width, double height, bool inside) {
    std::vector<std::int32_t> found;
    if (failed(web_.entitiesIn(x, y, width, height, inside ? BoxSelection::inside : BoxSelection::crossing, found)))
      return val::null();
    return val::global("Int32Array").new_(emscripten::typed_memory_view(found.size(), found.data()));
  }
  // {index, kind, tag} of entity `index`, or null for no entity.
  val entity(std::int32_t index) {
    const std::optional<Entity> e = web_.control().store().at(index);
    if (index <= 0 || !e || e->Kind == kKindNone) return val::null();
    val out = val::object();
    out.set("index", index);
    out.set("kind", std::string(entityKindName(e->Kind)));
    out.set("tag", std::u16string(e->Tag));
    return out;
  }

  // P1's Left, Top, Width or Height set to `twips`, as Resize sets it; an unknown property
  // is an invalid call.
  Status place(const std::string& property, float twips) {
    PicturePlacement& p1 = web_.control().placement();
    if (property == "Left") return p1.setLeft(twips);
    if (property == "Top") return p1.setTop(twips);
    if (property == "Width") return p1.setWidth(twips);
    if (property == "Height") return p1.setHeight(twips);
    return status::invalidCall;
  }

  // Where the control placed P1, in CSS pixels.
  val placement() const {
    const PixelPlacement& p = web_.picture().placement();
    val out = val::object();
    out.set("left", p.left);
    out.set("top", p.top);
    out.set("width", p.width);
    out.set("height", p.height);
    return out;
  }

  // The picture as ImageData bytes, valid until the module's memory next moves; null when
  // there is no memory for them.
  val canvasBytes() {
    const PixelBuffer& picture = web_.picture().picture();
    if (!toCanvasBytes(picture, rgba_)) return val::null();
    val out = val::object();
    out.set("width", picture.width());
    out.set("height", picture.height());
    out.set("bytes", val(emscripten::typed_memory_view(rgba_.size() * sizeof(std::uint32_t),
                                                       reinterpret_cast<const std::uint8_t*>(rgba_.data()))));
    return out;
  }

  // A member called by dispatch id with positional arguments; Count's value is kept for
  // result(), the failing argument's position for argError().
  Status invoke(std::int32_t dispId, val args) {
    result_ = {};
    argError_ = -1;
    const MemberInfo* member = findMember(dispId);
    if (member == nullptr) return status::memberNotFound;
    const unsigned count = args["length"].as<unsigned>();
    std::vector<Variant> positional(count);
    for (unsigned i = 0; i < count; ++i) {
      if (!toVariant(args[i], positional[i])) {
        argError_ = static_cast<std::int32_t>(i);
        return status::typeMismatch;
      }
    }
    const std::uint16_t flags = member->kind == MemberKind::PropertyGet ? kInvokePropertyGet : kInvokeMethod;
    const Status s = trazo::invoke(web_.control(), dispId, flags, positional, {}, &result_, &argError_);
    if (member->name == "Reflash") web_.painted();
    return s;
  }
  val result() const { return toValue(result_); }
  std::int32_t argError() const { return argError_; }

  // `text` is the script's bytes (a string goes in as UTF-8).
  val runScript(const std::string& text, const std::string& fileName) {
    const ScriptOutcome outcome = runScriptText(web_.control(), text, fileName);
    val out = val::object();
    out.set("rejected", arrayOf(outcome.rejected));
    out.set("trace", arrayOf(outcome.trace));
    out.set("failures", arrayOf(outcome.failures));
    return out;
  }

 private:
  WebControl web_;
  std::vector<std::uint32_t> rgba_;
  Variant result_;
  std::int32_t argError_ = -1;
};

// The member table: name, dispatch id, whether it is a property, and the parameters' names.
val members() {
  val list = val::array();
  for (const MemberInfo& m : kMembers) {
    val entry = val::object();
    entry.set("name", std::string(m.name));
    entry.set("dispId", m.dispId);
    entry.set("property", m.kind == MemberKind::PropertyGet);
    val params = val::array();
    for (const ParamInfo& p : m.params) params.call<void>("push", std::string(p.name));
    entry.set("params", params);
    list.call<void>("push", entry);
  }
  return list;
}

// The bytes the module's heap has handed out and not had back: what a long run watches to
// see every instance freed.
double heapBytesInUse() { return static_cast<double>(mallinfo().uordblks); }

}  // namespace
}  // namespace trazo::web

EMSCRIPTEN_BINDINGS(trazo_web) {
  using trazo::web::ElementControl;
  emscripten::class_<ElementControl>("ElementControl")
      .constructor<emscripten::val>()
      .function("initialize", &ElementControl::initialize)
      .function("resize", &ElementControl::resize)
      .function("paint", &ElementControl::paint)
      .function("pointerMoved", &ElementControl::pointerMoved)
      .function("terminate", &ElementControl::terminate)
      .function("setAntialias", &ElementControl::setAntialias)
      .function("place", &ElementControl::place)
      .function("placement", &ElementControl::placement)
      .function("canvasBytes", &ElementControl::canvasBytes)
      .function("invoke", &ElementControl::invoke)
      .function("result", &ElementControl::result)
      .function("argError", &ElementControl::argError)
      .function("runScript", &ElementControl::runScript)
      .function("entityAt", &ElementControl::entityAt)
      .function("entitiesIn", &ElementControl::entitiesIn)
      .function("entity", &ElementControl::entity);
  emscripten::function("members", &trazo::web::members);
  emscripten::function("statusKind", &trazo::statusKind);
  emscripten::function("heapBytesInUse", &trazo::web::heapBytesInUse);
}
