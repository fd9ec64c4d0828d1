#include "common/notifier.h"

#include <cstdio>

namespace {

class StderrNotifier final : public Notifier {
public:
    void showMessage(const QString& text) override { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); }
    void showError(const QString& text) override { std::fprintf(stderr, "error: %s\n", text.toUtf8().constData()); }
    void beep(unsigned) override {}
};

StderrNotifier fallback;
Notifier* current = nullptr;  // owned by whoever installed it; GUI thread only

}  // namespace

Notifier& notifier() { return current ? *current : fallback; }

Notifier* setNotifier(Notifier* n) {
    Notifier* before = current;
    current = n;
    return before;
}
