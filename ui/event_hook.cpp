#include "ui/event_hook.h"

#include <utility>

EventHook::EventHook(QObject* watched, QEvent::Type type, std::function<void(QEvent*)> action)
    : QObject(watched), type_(type), action_(std::move(action)) {
    watched->installEventFilter(this);
}

bool EventHook::eventFilter(QObject*, QEvent* event) {
    if (event->type() == type_) action_(event);
    return false;
}
