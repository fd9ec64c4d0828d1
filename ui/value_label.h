#pragma once
// A label that shows a value beside a caption label (the caption's buddy). A screen reader
// reads a label by its name, and the value alone ("5000000") says nothing: the name is the
// caption with the value, "PD(Hz) 5000000".
#include <QString>

class QLabel;

// Sets the value's text and the name a screen reader reads for it.
void setValueText(QLabel& value, const QString& text);
