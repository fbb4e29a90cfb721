#pragma once

#include <thread>

namespace prismel {

// Reads the system's font configuration on a thread of its own. Fontconfig parses some fifty XML
// files before the first character can be shown, a few milliseconds that would otherwise follow
// the connection to the display; begun before QApplication, the two overlap.
class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    // Waits until the configuration is read. Called before the first widget asks Qt for a face:
    // Qt reading it at the same time would read it a second time, not wait for this one.
    void finish();

private:
    std::thread m_reader;
};

} // namespace prismel
