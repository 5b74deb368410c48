#include "win/security/dde_server.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "port/clock.h"
#include "unit/security/security_fakes.h"
#include "win/security/dialog_script.h"
#include "win/security/security_dialogs.h"
#include "win/security/security_resources.h"
#include "win/util/text.h"

namespace vx::win::security {
namespace {

using testing::Scripted;
using vx::security::testing::admin_from;
using vx::security::testing::FakeDirs;
using vx::security::testing::FakeHooks;
using vx::security::testing::FakeSession;

// A DDE client in a process of its own, as the session's other programs are (tests/win/helpers):
// what it reports, one line each, is gathered while this thread keeps serving.
class Client {
public:
    explicit Client(int updates = 0) {
        std::wstring program = widen(VX_DDE_CLIENT);
        for (wchar_t& c : program)
            if (c == L'/') c = L'\\';
        std::wstring command = L"\"" + program + L"\" " + kDdeService + L" " + kDdeTopic + L" " + kDdeItem;
        if (updates > 0) command += L" --watch " + std::to_wstring(updates);
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE write = nullptr;
        CreatePipe(&read_, &write, &inherit, 0);
        SetHandleInformation(read_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = write;
        startup.hStdError = write;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
        CloseHandle(write);
        reader_ = std::thread([this] { read_lines(); });
    }
    ~Client() {
        if (started_) {
            // Its goodbye needs an answer from this thread too.
            const DWORD until = GetTickCount() + 25000;
            while (static_cast<LONG>(until - GetTickCount()) > 0 &&
                   MsgWaitForMultipleObjects(1, &process_.hProcess, FALSE, until - GetTickCount(),
                                             QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
                MSG msg;
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0)
                TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        reader_.join();
        CloseHandle(read_);
    }
    bool started() const { return started_; }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    // Waits for `count` lines, letting this thread's messages run: the server answers from them.
    bool wait_for(size_t count, DWORD ms = 15000) const {
        const DWORD until = GetTickCount() + ms;
        while (lines().size() < count && static_cast<LONG>(until - GetTickCount()) > 0) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(5);
        }
        return lines().size() >= count;
    }

private:
    void read_lines() {
        std::string pending;
        char buffer[256];
        DWORD got = 0;
        while (ReadFile(read_, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            pending.append(buffer, got);
            for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                std::string line = pending.substr(0, end);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                std::lock_guard lock(mutex_);
                lines_.push_back(line);
            }
        }
    }

    HANDLE read_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::thread reader_;
};

struct NoonClock : Clock {
    DateTime now() const override { return make_datetime({2026, 3, 10}, {12, 0, 0}); }
};

// "Validate User" with the real server as its DDE item, answered by a script.
void log_in(DdeServerItem& server, const char* name, const char* password) {
    AdminData data =
        admin_from("Group=Pupils\nGroupSecurity=5\nUser=ANN\nPassword=apple\nLaunchDay=4095\nUserGroup=0\n");
    NoonClock clock;
    FakeHooks hooks;
    FakeDirs dirs;
    FakeSession session;
    vx::security::LoginPorts ports{server, dirs, session};
    int mark = 0;
    LoginContext context{data, clock, hooks, ports, mark, {}};
    Scripted<LoginDialog> dialog(context);
    dialog.script = [&](auto& d) {
        d.type(IDC_EDIT_NAME, name);
        d.type(IDC_EDIT_PASSWORD, password);
        d.press(IDOK);
    };
    EXPECT_EQ(dialog.run(nullptr), IDOK);
}

TEST(DdeServer, ClientsReadTheLoggedInUserAndWatchersHearOfTheLogIn) {
    DdeServerItem server;
    ASSERT_TRUE(server.serve());
    DdeServerItem second;
    EXPECT_FALSE(second.serve()) << "one server a thread";

    Client watcher(1);
    ASSERT_TRUE(watcher.started());
    ASSERT_TRUE(watcher.wait_for(3));
    EXPECT_EQ(watcher.lines(),
              (std::vector<std::string>{"request ", "poke refused, execute refused", "watching"}))
        << "nobody logged in yet, and nothing comes in";

    log_in(server, "ANN", "APPLE");
    ASSERT_TRUE(watcher.wait_for(4));
    EXPECT_EQ(watcher.lines().back(), "advise ANN");
    EXPECT_EQ(server.text(), "ANN");

    Client reader;
    ASSERT_TRUE(reader.wait_for(1));
    EXPECT_EQ(reader.lines().front(), "request ANN");

    server.stop();
    Client late;
    ASSERT_TRUE(late.wait_for(1));
    EXPECT_EQ(late.lines().front(), "no connection") << "a stopped server is gone from the session";
}

}  // namespace
}  // namespace vx::win::security
