#pragma once

// A test COM server that stands in for the accounting package's automation objects under the
// ProgID SQLAcc.BizApp, built as an in-process DLL and as a local-server EXE from these sources.
// Its objects answer IDispatch by name and record every call they receive, with the VARIANT
// type of each argument, into a log beside the server's file (its path followed by ".log"):
//
//   create #1                                the class factory made the application object #1
//   #1 lookup islogin                        GetIDsOfNames for one name
//   #1 call login(BSTR(1)"U",BSTR(1)"P",...) an Invoke: "call" for DISPATCH_METHOD |
//                                            DISPATCH_PROPERTYGET, "method", "get", or "put"
//                                            (DISPATCH_PROPERTYPUT with DISPID_PROPERTYPUT)
//   #2 call find(BSTR(5)"SL_CS") -> #3       a result other than VT_EMPTY, or "-> failed"
//   alive 2: #1 BizApp, #7 Field             objects still referenced, before each creation
//   exit 0                                   the same when the server ends or the DLL unloads
// Member names are written in lower case; values as BSTR(length in UTF-16 units)"text",
// R8 12.5, I4 3, BOOL -1, NULL, EMPTY, ARRAY(0..1)[...] (elements the same way), #n for an
// object of the server's. Texts are quoted and escaped like AutoValue::describe.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <oleauto.h>

#include <string>

namespace test_server {

extern const CLSID ClassId;
inline constexpr const wchar_t* ProgId = L"SQLAcc.BizApp";
// What the server says of itself after the login: its BuildNo and the company its profile report
// (Common.Agent.RO, dataset cdsProfile) names.
inline constexpr const wchar_t* BuildNumber = L"5.2024.1007.860";
inline constexpr const wchar_t* CompanyName = L"ZANTRO TEST SDN BHD";

// Where the server's objects live. An in-process server hands its error texts over through a
// deferred fill-in only; a local server fills them in at once, since Wine does not run the
// fill-in in the server but passes its address across processes, unusable there.
enum class Housing { InProcess, LocalServer };
void SetHousing(Housing housing);
Housing CurrentHousing();

// The log, named after the server's own file.
void SetLogFor(HMODULE module);
void Log(const std::string& line);
std::string DescribeVariant(const VARIANT& value);

// Objects alive and client locks. Called when both fall to zero after a release or an unlock.
void SetOnLastRelease(void (*handler)());
LONG ObjectsAlive();
LONG Locks();
void ChangeLocks(bool lock);
std::string AliveList(); // "3: #4 DataSet, #7 Field, #9 BizApp"

// The class factory of the application object, with one reference for the caller.
IClassFactory* NewClassFactory();

// Writes the ProgID and class id of this server, in-process or local, in place of any earlier
// registration of either kind; Unregister removes both.
HRESULT Register(Housing housing, HMODULE module);
HRESULT Unregister();

} // namespace test_server
