// The Run Program check splits a command at every blank and resolves each name; these keep an
// eye on a long typed command and a long button command.
#include <benchmark/benchmark.h>

#include <string>

#include "shell/macro.h"
#include "shell/run_policy.h"

namespace {

class SparseFileSystem : public vx::shell::LaunchFileSystem {
public:
    bool file_exists(const std::string& path) override { return path == "C:\\LAST\\PROGRAM.EXE"; }
    bool directory_exists(const std::string&) override { return true; }
    std::string long_path(const std::string& path) override { return path; }
    std::optional<vx::shell::ShellLinkInfo> read_link(const std::string&) override { return std::nullopt; }
    std::string current_directory() override { return "C:\\TOOLS"; }
    std::vector<std::string> search_folders() override { return {"C:\\VX", "C:\\TOOLS", "C:\\WINDOWS"}; }
    std::vector<std::string> path_extensions() override { return {".COM", ".EXE", ".BAT", ".CMD"}; }
    std::string associated_program(const std::string&) override { return {}; }
};

void BM_DecideRunManyBlanks(benchmark::State& state) {
    SparseFileSystem fs;
    vx::shell::RunRestrictions rules;
    rules.drive_levels[3] = 1;
    rules.forbidden_extensions = "BAT|";
    std::string command;
    for (int i = 0; i < state.range(0); ++i) command += "WORD ";
    for (auto _ : state) benchmark::DoNotOptimize(vx::shell::decide_run(command, rules, fs));
}
BENCHMARK(BM_DecideRunManyBlanks)->Arg(8)->Arg(64)->Arg(256);

void BM_ExpandCommand(benchmark::State& state) {
    vx::shell::MacroEnvironment env;
    env.program_dir = "C:\\VX";
    env.windows_dir = "C:\\WINDOWS";
    std::string command;
    for (int i = 0; i < 100; ++i) command += "<DEFAULTDIR>APP.EXE [A,line~two] <WINDOWS>X.TXT\r";
    for (auto _ : state) {
        std::string rest = command;
        vx::shell::LaunchState launch;
        while (!rest.empty()) benchmark::DoNotOptimize(vx::shell::expand_next_line(rest, launch, env));
    }
}
BENCHMARK(BM_ExpandCommand);

}  // namespace
