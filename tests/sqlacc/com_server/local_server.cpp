// The test server as a local-server EXE: "/regserver" and "/unregserver" write and remove its
// registration; started by COM (with "-Embedding") it serves until its last object has been
// released, and no client lock held, for half a second, so that a client between two objects
// does not start a new server each time.

#include "tests/sqlacc/com_server/test_server.h"

#include <cwchar>

namespace {

bool hasSwitch(const wchar_t* commandLine, const wchar_t* name) {
    for (const wchar_t* at = commandLine; (at = std::wcsstr(at, name)) != nullptr; ++at) {
        if (at > commandLine && (at[-1] == L'/' || at[-1] == L'-'))
            return true;
    }
    return false;
}

constexpr UINT GraceMilliseconds = 500;
UINT_PTR graceTimer = 0;

// Starts the pause again on every last release.
void startGrace() {
    graceTimer = SetTimer(nullptr, graceTimer, GraceMilliseconds, nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    if (hasSwitch(commandLine, L"unregserver"))
        return FAILED(test_server::Unregister()) ? 1 : 0;
    if (hasSwitch(commandLine, L"regserver"))
        return FAILED(test_server::Register(test_server::Housing::LocalServer, nullptr)) ? 1 : 0;

    test_server::SetHousing(test_server::Housing::LocalServer);
    test_server::SetLogFor(nullptr);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    test_server::SetOnLastRelease(startGrace);
    IClassFactory* factory = test_server::NewClassFactory();
    DWORD cookie = 0;
    const HRESULT hr = CoRegisterClassObject(test_server::ClassId, factory, CLSCTX_LOCAL_SERVER,
                                             REGCLS_MULTIPLEUSE, &cookie);
    if (SUCCEEDED(hr)) {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (message.message == WM_TIMER && message.hwnd == nullptr &&
                message.wParam == graceTimer) {
                KillTimer(nullptr, graceTimer);
                graceTimer = 0;
                if (test_server::ObjectsAlive() == 0 && test_server::Locks() == 0)
                    break;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        CoRevokeClassObject(cookie);
    }
    factory->Release();
    CoUninitialize();
    test_server::Log("exit " + test_server::AliveList());
    return SUCCEEDED(hr) ? 0 : 1;
}
