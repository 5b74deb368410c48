#pragma once
// The installer's pages, one dialog resource each. Each returns true when the user went on.
#include <windows.h>

#include <functional>
#include <string>

#include "setup/install.h"

namespace kx {

bool license_page(HWND owner);
// `destination` comes in as the default and goes out as the accepted, created folder.
bool destination_page(HWND owner, std::wstring& destination);
// Runs `work` in a progress page ("IPROGRESS" or "PROGRESS"); its Cancel asks first.
vx::setup::StepResult progress_page(HWND owner, const wchar_t* resource,
                                    const std::function<vx::setup::StepResult(vx::setup::SetupUi&)>& work);
bool group_page(HWND owner, std::wstring& group);
bool replace_page(HWND owner, bool taskman_offered, bool& shell, bool& taskman);

// The product name, for captions.
inline constexpr wchar_t kProduct[] = L"Vantora!";
bool ask_terminate(HWND owner, bool exit_caption);

}  // namespace kx
