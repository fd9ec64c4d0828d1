#pragma once
// Runs an action for every event of one type that reaches a control, before the control
// handles the event as usual. The hook is a child of the control and goes with it.
#include <QEvent>
#include <QObject>
#include <functional>

class EventHook final : public QObject {
public:
    EventHook(QObject* watched, QEvent::Type type, std::function<void(QEvent*)> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QEvent::Type type_;
    std::function<void(QEvent*)> action_;
};
