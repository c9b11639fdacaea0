// The type library's version, read by Trazolib.idl (which compiles it into the library)
// and by the C++ code that registers and unregisters the library. Plain preprocessor
// definitions, as widl reads this file too.
#pragma once

#define TRAZO_TYPELIB_MAJOR 2
#define TRAZO_TYPELIB_MINOR 0

// "major.minor" as the IDL's version attribute takes it: 2 and 0 pasted into 2.0.
#define TRAZO_TYPELIB_JOIN(major, minor) major##.##minor
#define TRAZO_TYPELIB_TEXT(major, minor) TRAZO_TYPELIB_JOIN(major, minor)
#define TRAZO_TYPELIB_VERSION TRAZO_TYPELIB_TEXT(TRAZO_TYPELIB_MAJOR, TRAZO_TYPELIB_MINOR)
