#include "win/shell/sound.h"

#include <windows.h>

#include <mmsystem.h>

#include "win/util/text.h"

namespace vx::win::shell {

void Win32Sound::play(const std::string& wave_file) {
    // An empty name would stop whatever is playing instead of playing anything.
    if (wave_file.empty()) return;
    sndPlaySoundW(widen(wave_file).c_str(), SND_ASYNC | SND_NODEFAULT);
}

void Win32Sound::beep() {
    MessageBeep(MB_OK);
}

}  // namespace vx::win::shell
