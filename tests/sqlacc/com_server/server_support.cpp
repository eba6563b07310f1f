// The test server's log, its count of live objects and its registration.

#include "tests/sqlacc/com_server/server_objects.h"
#include "tests/sqlacc/com_server/test_server.h"

#include "sqlacc/automation.h"

#include <olectl.h>

#include <climits>
#include <map>

namespace test_server {

// {5347AA88-6F93-4870-97D7-8BC2272B90E4}
const CLSID ClassId = {
    0x5347aa88, 0x6f93, 0x4870, {0x97, 0xd7, 0x8b, 0xc2, 0x27, 0x2b, 0x90, 0xe4}};

namespace {

Housing housing = Housing::InProcess;
std::wstring logPath;
LONG locks = 0;
void (*onLastRelease)() = nullptr;

std::string utf8(const wchar_t* text, std::size_t length) {
    if (length == 0)
        return {};
    const int size = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::string describeArray(SAFEARRAY* array, VARTYPE elementType) {
    if (!array)
        return "ARRAY(null)";
    if (SafeArrayGetDim(array) != 1)
        return "ARRAY(" + std::to_string(SafeArrayGetDim(array)) + " dimensions)";
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    std::string out = "ARRAY";
    if (elementType != VT_VARIANT)
        out += "<vt " + std::to_string(elementType) + ">";
    out += "(" + std::to_string(lower) + ".." + std::to_string(upper) + ")[";
    for (LONG index = lower; index <= upper; ++index) {
        if (index > lower)
            out += ',';
        VARIANT item;
        VariantInit(&item);
        if (elementType == VT_VARIANT) {
            SafeArrayGetElement(array, &index, &item);
        } else if (elementType == VT_BSTR || elementType == VT_I4 || elementType == VT_R8 ||
                   elementType == VT_BOOL) {
            SafeArrayGetElement(array, &index, &V_I8(&item));
            V_VT(&item) = elementType;
        }
        out += DescribeVariant(item);
        VariantClear(&item);
    }
    return out + "]";
}

} // namespace

void SetHousing(Housing where) {
    housing = where;
}

Housing CurrentHousing() {
    return housing;
}

void SetLogFor(HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    logPath.assign(path, length);
    logPath += L".log";
}

// Each line is appended on its own and the file closed again, so that the replay program can
// append its document markers between the calls.
void Log(const std::string& line) {
    if (logPath.empty())
        return;
    HANDLE file = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string DescribeVariant(const VARIANT& value) {
    const VARTYPE type = V_VT(&value);
    if (type & VT_BYREF) {
        VARIANT direct;
        VariantInit(&direct);
        VariantCopyInd(&direct, const_cast<VARIANT*>(&value));
        std::string out = "BYREF " + DescribeVariant(direct);
        VariantClear(&direct);
        return out;
    }
    if (type & VT_ARRAY)
        return describeArray(V_ARRAY(&value), type & VT_TYPEMASK);
    switch (type) {
    case VT_EMPTY:
        return "EMPTY";
    case VT_NULL:
        return "NULL";
    case VT_BSTR: {
        const BSTR text = V_BSTR(&value);
        if (!text)
            return "BSTR(null)";
        const UINT length = SysStringLen(text);
        return "BSTR(" + std::to_string(length) + ")" +
               AutoValue::fromText(utf8(text, length)).describe();
    }
    case VT_R8:
        return "R8 " + AutoValue::fromFloat(V_R8(&value)).describe();
    case VT_R4:
        return "R4 " + AutoValue::fromFloat(V_R4(&value)).describe();
    case VT_I4:
        return "I4 " + std::to_string(V_I4(&value));
    case VT_INT:
        return "INT " + std::to_string(V_INT(&value));
    case VT_I2:
        return "I2 " + std::to_string(V_I2(&value));
    case VT_UI1:
        return "UI1 " + std::to_string(V_UI1(&value));
    case VT_I8:
        return "I8 " + std::to_string(V_I8(&value));
    case VT_BOOL:
        return "BOOL " + std::to_string(V_BOOL(&value));
    case VT_CY:
        return "CY " + std::to_string(V_CY(&value).int64);
    case VT_ERROR:
        return "ERROR " + std::to_string(V_ERROR(&value));
    case VT_DISPATCH:
        return DescribeObject(V_DISPATCH(&value));
    default:
        return "VT " + std::to_string(type);
    }
}

void SetOnLastRelease(void (*handler)()) {
    onLastRelease = handler;
}

LONG Locks() {
    return locks;
}

void ChangeLocks(bool lock) {
    locks += lock ? 1 : -1;
    if (!lock)
        CheckLastRelease();
}

void CheckLastRelease() {
    if (ObjectsAlive() == 0 && locks == 0 && onLastRelease)
        onLastRelease();
}

// ---- registration ----

namespace {

bool setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

std::wstring classIdText() {
    wchar_t text[64];
    StringFromGUID2(ClassId, text, 64);
    return text;
}

} // namespace

HRESULT Register(Housing where, HMODULE module) {
    Unregister();
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return SELFREG_E_CLASS;
    const std::wstring file(path, length);
    const std::wstring classKey = L"CLSID\\" + classIdText();
    const wchar_t* const name = L"Accounting package test server";
    bool ok = setValue(ProgId, nullptr, name) &&
              setValue(std::wstring(ProgId) + L"\\CLSID", nullptr, classIdText()) &&
              setValue(classKey, nullptr, name) &&
              setValue(classKey + L"\\ProgID", nullptr, ProgId);
    if (where == Housing::InProcess) {
        ok = ok && setValue(classKey + L"\\InprocServer32", nullptr, file) &&
             setValue(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    } else {
        ok = ok && setValue(classKey + L"\\LocalServer32", nullptr, L"\"" + file + L"\"");
    }
    if (!ok) {
        Unregister();
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT Unregister() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ProgId);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + classIdText()).c_str());
    return S_OK;
}

} // namespace test_server
