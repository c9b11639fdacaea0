' Every member of the control by name from VBScript, the statuses of failing calls as
' Err.Number, and calls with wrong argument types or counts, which must be refused without
' harm. cscript hides unhandled errors, so every call runs under On Error Resume Next and
' the script counts its own results.
Option Explicit
Dim passed, failed, t
passed = 0
failed = 0

Sub Check(name, ok)
  If ok Then
    passed = passed + 1
    WScript.Echo "PASS vbscript: " & name
  Else
    failed = failed + 1
    WScript.Echo "FAIL vbscript: " & name
  End If
End Sub

' Runs nothing itself: tells whether the last call ended with the expected error number.
Function Raised(expected)
  Raised = (Err.Number = expected)
  If Not Raised Then WScript.Echo "     Err.Number " & Hex(Err.Number) & " " & Err.Description
  Err.Clear
End Function

On Error Resume Next
Set t = CreateObject("Trazolib.Trazo")
Check "CreateObject by ProgID", Raised(0)
Check "Count of a fresh control is 0", t.Count = 0
t.Reflash
Check "Reflash without a container succeeds", Raised(0)

t.AddLine 0, 0, 10, 5, 3, 2, "first"
Check "AddLine", Raised(0)
t.AddBox 0, 0, 4, 4, 1, 0, "box"
Check "AddBox", Raised(0)
Check "AddBox adds four lines", t.Count = 5
t.AddCircle 1, 1, 2, 4, 1, ""
Check "AddCircle", Raised(0)
t.AddCircle2 1, 1, 2, 0, 1.5, 5, 3, "arc"
Check "AddCircle2", Raised(0)
t.AddText 0, 0, 1, 30, 6, "Trazo", "text"
Check "AddText", Raised(0)
Check "Count after adds", t.Count = 8
t.Reflash
Check "Reflash with entities", Raised(0)
t.Clear
Check "Clear", Raised(0)
Check "Count after Clear", t.Count = 0

' Numbers given as strings and integers are coerced to the parameters' types.
t.AddLine "1", 2, 3.5, "4", "2", 0, 12
Check "coerced arguments", Raised(0)
Check "Count after coerced call", t.Count = 1
t.Clear

' Failures reach the script as the control's statuses. VBScript shows a status of the
' automation facility (800A00xx) by its run-time error number: 800A000B is error 11.
t.AddCircle 1E+308, 0, 1E+308, 1, 0, ""
Check "the control describes the error", Err.Description = "Floating-point error" And Err.Source = "Trazolib.Trazo"
Check "AddCircle overflow is the float status (11)", Raised(11)
t.Clear
t.AddLine -1E+308, 0, 1E+308, 0, 1, 0, ""
Check "AddLine within range", Raised(0)
t.Reflash
Check "Reflash of extents too far apart for the classic steps repaints", Raised(0)
t.Clear
Check "Clear after a failure", Raised(0)

' Wrong argument counts and types are refused; nothing is stored.
t.AddLine 1, 2, 3
Check "too few arguments refused (450)", Raised(450)
t.AddLine 1, 2, 3, 4, 5, 6, "x", 8
Check "too many arguments refused (450)", Raised(450)
t.Clear 1
Check "argument to Clear refused (450)", Raised(450)
t.AddLine "one", 2, 3, 4, 5, 6, "x"
Check "text for a number refused (13)", Raised(13)
t.AddCircle 1, 2, 3, 4, 5, Array(1, 2)
Check "array for a string refused", Err.Number <> 0
Err.Clear
t.AddLine 1, 2, 3, 4, 3000000000, 6, "x"
Check "Long overflow refused (6)", Raised(6)
t.Count = 3
Check "Count has no setter", Err.Number <> 0
Err.Clear
t.Refresh
Check "unknown member refused (438)", Raised(438)
Check "Count unchanged by refused calls", t.Count = 0

Set t = Nothing
WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
