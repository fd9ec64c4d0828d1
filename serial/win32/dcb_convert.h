#pragma once
// The comm layer's DCB and COMSTAT against the system's, whose flags are bit fields in the same
// order as the layer's flag word. Free of Qt.
#include <windows.h>

#include "serial/commapi.h"

namespace commapi::win32 {

DCB fromSystem(const ::DCB& system);
::DCB toSystem(const DCB& dcb);
COMSTAT fromSystem(const ::COMSTAT& system);

}  // namespace commapi::win32
