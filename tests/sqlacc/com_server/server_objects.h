#pragma once

// The base of the test server's objects: IDispatch by member name from a fixed table, every
// lookup and call written to the server's log.

#include "tests/sqlacc/com_server/test_server.h"

#include <string>
#include <vector>

namespace test_server {

// "#n" for an object of this server, otherwise a note of what it is.
std::string DescribeObject(IDispatch* object);
// Calls the last-release handler when no object and no lock is left.
void CheckLastRelease();

struct Member {
    const wchar_t* name; // matched without regard to ASCII letter case
    DISPID id;
    unsigned args; // positional arguments
    bool writable; // takes DISPATCH_PROPERTYPUT
};

class ServerObject : public IDispatch {
public:
    ServerObject(const char* kind, const std::vector<Member>& members);
    virtual ~ServerObject();
    ServerObject(const ServerObject&) = delete;
    ServerObject& operator=(const ServerObject&) = delete;

    int number() const { return number_; }
    const char* kind() const { return kind_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

protected:
    // One call with its arguments in the caller's order (for a write, the value comes last).
    // result is VT_EMPTY on entry; exception may be null.
    virtual HRESULT call(const Member& member, bool put, const std::vector<const VARIANT*>& args,
                         VARIANT& result, EXCEPINFO* exception) = 0;

private:
    const char* kind_;
    const std::vector<Member>& members_;
    LONG references_ = 1;
    int number_;
};

} // namespace test_server
