// Failure statuses as COM errors: the status is the HRESULT, and an IErrorInfo carries a
// description so that a script sees Err.Number and Err.Description.
#pragma once

#include "base/status.hpp"

#include <windows.h>

namespace trazo::win32 {

// Sets the thread's error object for a failed status and returns the status as an HRESULT;
// clears it and returns S_OK for success.
HRESULT reportStatus(Status status);

}  // namespace trazo::win32
