#pragma once
// How assistive technology sees a combo box. Qt on Linux names a combo box by its current text
// and leaves the name to a caption's label relation; a box without a caption beside it (the port
// and the baud rate) would be read as "com1" or "9600". This reading names a box by its
// accessible name, or the caption it is the buddy of, and keeps the current text as its value;
// role, states, the list and the edit as children and the actions that open the list are Qt's.
#include <QString>

class QAccessibleInterface;
class QObject;

// An accessibility factory (QAccessible::installFactory): the interface of any QComboBox.
QAccessibleInterface* comboBoxAccessible(const QString& className, QObject* object);
