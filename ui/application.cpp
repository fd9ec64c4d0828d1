#include "ui/application.h"

#include <QAccessibleWidget>
#include <QIcon>
#include <QWidget>
#include <clocale>
#include <thread>

#include <fontconfig/fontconfig.h>

#include "common/exception_report.h"
#include "ui/combo_box_accessible.h"
#include "ui/enter_key.h"
#include "ui/fonts.h"

namespace {

// Assistive technology sees the configurator window as a window (a frame), not as a pane.
QAccessibleInterface* formAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("TForm1") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

// The system's font configuration, read on a thread of its own while QApplication starts: the
// first text needs it, and reading it takes milliseconds. Owner: the thread making the application.
std::thread& fontConfigLoad() {
    static std::thread load;
    return load;
}

int& startFontConfigLoad(int& argc) {
    fontConfigLoad() = std::thread([] { FcInit(); });
    return argc;
}

}  // namespace

QString applicationTitle() { return QStringLiteral("Vantorix-10G_K512 Configurator  V1.0"); }

TApplication::TApplication(int& argc, char** argv) : QApplication(startFontConfigLoad(argc), argv) {
    QAccessible::installFactory(formAccessible);
    QAccessible::installFactory(comboBoxAccessible);
    // The number and date texts follow the user's locale (LC_NUMERIC, LC_TIME). Qt sets it from
    // the environment too; saying so here keeps the window independent of that detail.
    std::setlocale(LC_ALL, "");
    setApplicationName("vtconfig");
    // The menu entry's name (packaging/com.vantorix.vtconfig.desktop): under Wayland it is all the
    // desktop has to match the window to its entry, its name and its icon.
    setDesktopFileName(QStringLiteral("com.vantorix.vtconfig"));
    // The entry's icon, built in, for window systems that take the icon from the window.
    setWindowIcon(QIcon(QStringLiteral(":/com.vantorix.vtconfig.svg")));
    fontConfigLoad().join();
    setFont(windowFont());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        if (pressFocusedButtonOnEnter(receiver, event)) return true;
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportException(std::current_exception());
        return false;
    }
}
