#pragma once
// What every window test shares: the notifier that records instead of showing boxes, a fresh
// window in a private current directory, and the one main() that runs a QTest class.
#include <QString>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "testkit/qt/recording_notifier.h"
#include "testkit/temp_dir.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/error_report.h"
#include "ui/scroll_bar.h"

using vttest::RecordingNotifier;
using vttest::Shown;

RecordingNotifier& recorder();

// Errors shown since the last clear, in order.
QStringList shownErrors();

// A window created in an empty temporary current directory (no settings file, exports land
// there). The directory is the current one while the window lives.
class WindowUnderTest {
public:
    WindowUnderTest();
    TForm1& operator*() { return *form; }
    TForm1* operator->() { return form.get(); }
    QString dir() const { return QString::fromStdString(tmp.path()); }

private:
    vttest::TempDir tmp;
    vttest::CurrentDirectory cwd{tmp.path()};
    std::unique_ptr<TForm1> form;
};

// Sets a fixed clock: each reading returns the next of the given times (the last one repeats).
void setClock(TForm1& form, std::vector<std::tm> readings, std::string dateFormat = "%Y/%m/%d",
              std::string timeFormat = "%H:%M:%S");
std::tm localTime(int year, int month, int day, int hour, int minute, int second);

// The window tests are one executable, a QTest class a source file `<name>_test.cpp`, each class run
// alone in a process of its own (`vtui_tests <name>`), under the application object the program
// itself uses, in a configuration folder of its own. VT_UI_TEST_MAIN(Class) registers the class
// of the file it is written in.
using UiTestFactory = std::unique_ptr<QObject> (*)();
bool registerUiTest(const char* sourceFile, UiTestFactory make);

// Runs the class registered as argv[1] with the arguments after it; 2 for a name not registered.
int runUiTest(int argc, char** argv);

#define VT_UI_TEST_MAIN(TestClass)                                                                        \
    namespace {                                                                                           \
    const bool registered##TestClass =                                                                    \
        registerUiTest(__FILE__, [] { return std::unique_ptr<QObject>(std::make_unique<TestClass>()); }); \
    }
