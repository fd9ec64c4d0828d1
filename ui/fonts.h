#pragma once
// The window's two fonts: a proportional one that can show Japanese, and a fixed-pitch one
// for the hexadecimal displays. Both 12 pixels high, whatever the screen's resolution.
#include <QFont>

QFont windowFont();
QFont fixedPitchFont();
