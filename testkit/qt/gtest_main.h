#pragma once
// Runs every GoogleTest test under a Qt application object of type App and the window's host:
// the component posts to the GUI thread, the link's reply wait runs the event loop, windows need
// a QApplication.
#include <gtest/gtest.h>

#include "serial/qt/qt_host.h"

namespace vttest {

template <class App>
int runGoogleTests(int argc, char** argv) {
    App app(argc, argv);
    host::QtHost qtHost;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace vttest
