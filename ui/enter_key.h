#pragma once
// Enter and Return press the push button that has the focus, as Space does. Qt leaves that to
// buttons of a dialog's default kind ("auto default"), which these windows do not use: that
// kind is drawn wider.
#include <QEvent>
#include <QObject>

// True when event was such a key and pressed the button (receiver); it is then handled.
bool pressFocusedButtonOnEnter(QObject* receiver, QEvent* event);
