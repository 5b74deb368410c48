#pragma once
#include <string>

namespace vx {

class Sound {
public:
    virtual ~Sound() = default;
    virtual void play(const std::string& wave_file) = 0;
    virtual void beep() = 0;
};

}  // namespace vx
