#pragma once
// The Sound port on the system's wave player and beep.
#include "port/sound.h"

namespace vx::win::shell {

class Win32Sound final : public Sound {
public:
    // Plays asynchronously, so a launch never waits for its sound; a missing file stays silent
    // rather than playing the system default.
    void play(const std::string& wave_file) override;
    void beep() override;
};

}  // namespace vx::win::shell
