#include <iostream>
#include <string>
#include <vector>

#include "tool/command.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>

// Arguments arrive as UTF-16 on Windows; the tool works in UTF-8 throughout.
int wmain(int argc, wchar_t** wargv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> argv;
    for (int i = 0; i < argc; ++i) {
        int n = WideCharToMultiByte(CP_UTF8, 0, wargv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string s(n > 0 ? n - 1 : 0, '\0');
        if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wargv[i], -1, s.data(), n, nullptr, nullptr);
        argv.push_back(std::move(s));
    }
    return vx::tool::run(argv, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    return vx::tool::run(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}
#endif
