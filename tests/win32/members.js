// Every member of the control by name from JScript, the statuses of failing calls as
// e.number, and refused calls. cscript hides unhandled errors, so each case traps its own
// and the script counts its results.
var passed = 0, failed = 0;

function report(name, ok, detail) {
  if (ok) {
    passed++;
    WScript.Echo("PASS jscript: " + name);
  } else {
    failed++;
    WScript.Echo("FAIL jscript: " + name + (detail ? " (" + detail + ")" : ""));
  }
}

// Runs body; passes when it throws the expected number (0: when it does not throw).
function expect(name, number, body) {
  var got = 0, text = "";
  try {
    body();
  } catch (e) {
    got = e.number;
    text = e.description;
  }
  var hex = (got < 0 ? got + 0x100000000 : got).toString(16).toUpperCase();
  report(name, got === number, "number " + hex + " " + text);
}

function unsigned(n) { return n | 0; }

var t = null;
expect("new ActiveXObject", 0, function () { t = new ActiveXObject("Trazolib.Trazo"); });
if (t !== null) {
  expect("Count of a fresh control is 0", 0, function () { if (t.Count !== 0) throw { number: 1 }; });
  expect("AddLine", 0, function () { t.AddLine(0, 0, 10, 5, 3, 2, "first"); });
  expect("AddBox", 0, function () { t.AddBox(0, 0, 4, 4, 1, 0, "box"); });
  expect("AddCircle", 0, function () { t.AddCircle(1, 1, 2, 4, 1, ""); });
  expect("AddCircle2", 0, function () { t.AddCircle2(1, 1, 2, 0, 1.5, 5, 3, "arc"); });
  expect("AddText", 0, function () { t.AddText(0, 0, 1, 30, 6, "Trazo", "text"); });
  expect("Count after adds is 8", 0, function () { if (t.Count !== 8) throw { number: 1 }; });
  expect("Reflash", 0, function () { t.Reflash(); });
  expect("Clear", 0, function () { t.Clear(); });
  expect("Count after Clear is 0", 0, function () { if (t.Count !== 0) throw { number: 1 }; });

  expect("AddCircle overflow is the float status", unsigned(0x800A000B),
         function () { t.AddCircle(1e308, 0, 1e308, 1, 0, ""); });
  var description = "";
  try { t.AddCircle(1e308, 0, 1e308, 1, 0, ""); } catch (e) { description = e.description; }
  report("the control describes the error", description === "Floating-point error", description);
  t.Clear();
  // Infinity is an ordinary number here: the box is stored, and every repaint succeeds.
  expect("AddBox to Infinity", 0, function () { t.AddBox(0, 0, Infinity, 1, 1, 0, ""); });
  expect("Reflash with infinite extents", 0, function () { t.Reflash(); });
  expect("and again", 0, function () { t.Reflash(); });
  t.Clear();
  expect("too few arguments refused", unsigned(0x8002000E), function () { t.AddLine(1, 2, 3); });
  expect("too many arguments refused", unsigned(0x8002000E), function () { t.AddLine(1, 2, 3, 4, 5, 6, "x", 8); });
  expect("argument to Reflash refused", unsigned(0x8002000E), function () { t.Reflash(1); });
  expect("text for a number refused", unsigned(0x80020005), function () { t.AddLine("one", 2, 3, 4, 5, 6, "x"); });
  expect("Count unchanged by refused calls", 0, function () { if (t.Count !== 0) throw { number: 1 }; });
}
WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed);
