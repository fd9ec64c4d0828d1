// libFuzzer: the settings file loaded from arbitrary bytes, saved and loaded again.
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/file_read.h"
#include "settings/settings_file.h"

namespace {

// A private directory, on a RAM disk where there is one: every save syncs the file.
const std::string& settingsPath() {
    static const std::string path = [] {
        std::string dir =
            std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/vtfuzz-settings-XXXXXX";
        if (!::mkdtemp(dir.data())) std::abort();
        static const std::string removeAtExit = dir;
        std::atexit([] {
            ::unlink((removeAtExit + "/VTCONFIG.INI").c_str());
            ::rmdir(removeAtExit.c_str());
        });
        return dir + "/VTCONFIG.INI";
    }();
    return path;
}

void check(bool ok) {
    if (!ok) std::abort();
}

std::string fileBytes() {
    std::string bytes;
    check(files::readFile(settingsPath(), bytes) == 0);
    return bytes;
}

// A text survives a save and a load unless the profile rules change it: a line break inside
// becomes a blank, one pair of surrounding quotes goes.
bool survives(const std::string& text) {
    if (text.find('\r') != std::string::npos) return false;
    return !(text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front());
}

void sameIntegersAndTexts(const settings::SettingsValues& a, const settings::SettingsValues& b) {
    check(a.portIndex == b.portIndex && a.baudIndex == b.baudIndex && a.channel == b.channel);
    check(a.upCurrent == b.upCurrent && a.downCurrent == b.downCurrent && a.offsetCurrent == b.offsetCurrent);
    check(a.seed == b.seed && a.mode == b.mode && a.fracRstb == b.fracRstb && a.fracBypass == b.fracBypass &&
          a.reopenTable == b.reopenTable);
    for (auto text : {&settings::SettingsValues::localOutput, &settings::SettingsValues::multiplier,
                      &settings::SettingsValues::std, &settings::SettingsValues::r})
        if (survives(a.*text)) check(a.*text == b.*text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(settingsPath().c_str(), "wb");
    check(f && std::fwrite(data, 1, size, f) == size && std::fclose(f) == 0);

    settings::SettingsFile file(settingsPath());
    const settings::SettingsValues loaded = file.values();
    check(loaded.upCurrent >= 0 && loaded.upCurrent <= settings::kScrollBarMax);
    check(loaded.portIndex >= -1 && loaded.portIndex < settings::kPortItems);
    check(loaded.channel >= -1 && loaded.channel < settings::kChannelItems);
    file.save(loaded);
    const std::string saved = fileBytes();
    file.save(loaded);  // the same values again: nothing changes
    check(fileBytes() == saved);

    sameIntegersAndTexts(loaded, settings::load(settingsPath()));
    return 0;
}
