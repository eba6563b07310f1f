// The test server as an in-process DLL, registered with regsvr32.

#include "tests/sqlacc/com_server/test_server.h"

namespace {
HMODULE module = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        DisableThreadLibraryCalls(instance);
        test_server::SetHousing(test_server::Housing::InProcess);
        test_server::SetLogFor(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        test_server::Log("exit " + test_server::AliveList());
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID classId, REFIID riid, void** object) {
    *object = nullptr;
    if (!IsEqualCLSID(classId, test_server::ClassId))
        return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory* factory = test_server::NewClassFactory();
    const HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
    return test_server::ObjectsAlive() == 0 && test_server::Locks() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
    return test_server::Register(test_server::Housing::InProcess, module);
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    return test_server::Unregister();
}
