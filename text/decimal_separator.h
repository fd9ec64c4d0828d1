#pragma once
// The decimal separator of the process's LC_NUMERIC locale as it is set now (the window's
// application object sets it from the environment at start, vtplan sets it itself), as the
// number texts use it.

namespace text {

// '.' when the locale's separator is not a single ASCII character.
char localeDecimalSeparator();

}  // namespace text
