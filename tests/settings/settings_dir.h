#pragma once
// The settings tests' stage: a private folder and the settings file's path in it.
#include <gtest/gtest.h>

#include <string>

#include "testkit/child_process.h"
#include "testkit/temp_dir.h"

struct SettingsDir : ::testing::Test {
    vttest::TempDir dir;
    std::string path = dir.file("VTCONFIG.INI");
};
