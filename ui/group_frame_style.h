#pragma once
// Group boxes as the window was laid out for them: the frame's top line runs through the middle
// of the title, which interrupts it. The rows placed just below a group's top (8 to 16 pixels)
// then sit inside the frame instead of under a title drawn above it.
class QGroupBox;

// Gives box that style, one for the whole program. Only the box itself: the controls in it keep
// the application's style.
void drawFrameThroughTitle(QGroupBox& box);
