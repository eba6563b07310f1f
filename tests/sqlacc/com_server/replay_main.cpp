// Replays a call script through the Windows automation adapter against whatever server is
// registered as SQLAcc.BizApp, and prints every difference between what the server answered and
// what the script says, one a line.
//
//   com_replay --script <file> [--log <server log>] [--ids per-object|per-kind]
//
// With --log, each document's title is appended to the server's log ("doc <title>") before its
// first call, and "end" after the last, so that the log can be split by document. The replay
// then creates the application object once more: the server logs, before that creation, which
// of its objects are still referenced. With --log the replay also holds an application object
// of its own from before the first document to the very end, so that a local server serves the
// whole script in one process (Wine's class-factory proxy does not pass LockServer on); the
// server lists it as the one object still alive at the end.
// Exit code: 0 when the script came out as written, 1 when it did not, 2 when it cannot be read.

#include "sqlacc/biz_app_factory.h"
#include "sqlacc/com_automation.h"
#include "tests/sqlacc/com_server/call_script.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string readFile(const wchar_t* path) {
    std::string text;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw CallScriptError("the script cannot be opened");
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

void appendLine(const std::wstring& path, const std::string& line) {
    if (path.empty())
        return;
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

void print(const std::string& line) {
    const std::string text = line + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring scriptPath;
    std::wstring logPath;
    DispatchIdSharing sharing = DispatchIdSharing::PerKind;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring name = argv[i];
        if (name == L"--script")
            scriptPath = argv[i + 1];
        else if (name == L"--log")
            logPath = argv[i + 1];
        else if (name == L"--ids")
            sharing = std::wstring(argv[i + 1]) == L"per-object" ? DispatchIdSharing::PerObject
                                                                 : DispatchIdSharing::PerKind;
    }
    std::vector<ScriptCall> script;
    try {
        script = ParseCallScript(readFile(scriptPath.c_str()));
    } catch (const CallScriptError& error) {
        print(std::string("The call script cannot be read: ") + error.what());
        return 2;
    }

    const auto apartment = ComApartment::forThisThread();
    std::vector<std::string> problems;
    AutoObjectPtr keeper;
    if (!logPath.empty()) {
        try {
            keeper = CreateComObject(BizAppProgId);
        } catch (const AutomationError&) {
        }
    }
    problems = ReplayCallScript(
        script, [sharing] { return CreateComObject(BizAppProgId, sharing); },
        [&](const std::string& title) { appendLine(logPath, "doc " + title); });
    appendLine(logPath, "end");
    if (!logPath.empty()) {
        try {
            CreateComObject(BizAppProgId);
        } catch (const AutomationError&) {
        }
    }
    keeper.reset();
    for (const std::string& problem : problems)
        print(problem);
    return problems.empty() ? 0 : 1;
}
