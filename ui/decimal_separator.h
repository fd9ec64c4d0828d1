#pragma once
// The decimal separator of the process's LC_NUMERIC locale (set from the environment when the
// application object starts), as the number texts on the window use it.

// '.' when the locale's separator is not a single ASCII character.
char localeDecimalSeparator();
