#include "sqlacc/com_automation.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <climits>
#include <cstdio>
#include <type_traits>
#include <utility>

static_assert(std::is_same_v<DISPID, long>, "ComObject keeps dispatch ids as long");

// Dispatch ids shared by the objects of one kind: the objects one member returns on objects of
// one kind, such as every field that FindField hands out on the datasets of one business object.
// A field is written through a fresh object each time, and looking up "value" on each one
// doubles the calls of a document.
// COM promises an object's ids only for that object. A package whose objects are described by a
// type library gives every object of one interface the same ids, and that is relied on here,
// with two checks: an id is shared only once two objects of the kind have answered it alike (an
// object that numbers its names as they are asked gives itself away), and a shared id that an
// object answers with DISP_E_MEMBERNOTFOUND is looked up on that object and shared no more. The
// kinds hang from one application object, so nothing is carried from one login to the next.
struct DispatchKind {
    enum class Trust { Seen, Shared, Refused };
    struct Entry {
        DISPID id;
        Trust trust;
    };
    std::unordered_map<std::string, Entry> ids;
    std::unordered_map<std::string, std::shared_ptr<DispatchKind>> children;

    // The kind of the objects that member (lower case) returns on objects of this kind.
    std::shared_ptr<DispatchKind> child(const std::string& member) {
        auto& found = children[member];
        if (!found)
            found = std::make_shared<DispatchKind>();
        return found;
    }

    const DISPID* shared(const std::string& name) const {
        const auto found = ids.find(name);
        return found != ids.end() && found->second.trust == Trust::Shared ? &found->second.id
                                                                          : nullptr;
    }

    // One more object of the kind answered name with id.
    void learned(const std::string& name, DISPID id) {
        const auto [found, first] = ids.try_emplace(name, Entry{id, Trust::Seen});
        if (first)
            return;
        Entry& entry = found->second;
        if (entry.trust == Trust::Seen)
            entry.trust = entry.id == id ? Trust::Shared : Trust::Refused;
        else if (entry.id != id)
            entry.trust = Trust::Refused;
    }

    void refuse(const std::string& name) { ids[name].trust = Trust::Refused; }
};

namespace {

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class T> using ComPtr = std::unique_ptr<T, Releaser>;

// A VARIANT that is cleared when it goes.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &value_; }

private:
    VARIANT value_;
};

// The arguments of one call, each cleared when the call is over.
class VariantList {
public:
    explicit VariantList(std::size_t count) : values_(count) {
        for (VARIANT& value : values_)
            VariantInit(&value);
    }
    ~VariantList() {
        for (VARIANT& value : values_)
            VariantClear(&value);
    }
    VariantList(const VariantList&) = delete;
    VariantList& operator=(const VariantList&) = delete;
    VARIANT& operator[](std::size_t index) { return values_[index]; }
    VARIANT* data() { return values_.empty() ? nullptr : values_.data(); }
    UINT size() const { return static_cast<UINT>(values_.size()); }

private:
    std::vector<VARIANT> values_;
};

// The strings that IDispatch::Invoke leaves in an EXCEPINFO, freed when it goes.
struct ExcepInfo {
    EXCEPINFO value{};
    ExcepInfo() = default;
    ~ExcepInfo() {
        SysFreeString(value.bstrSource);
        SysFreeString(value.bstrDescription);
        SysFreeString(value.bstrHelpFile);
    }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
};

struct SafeArrayDestroyer {
    void operator()(SAFEARRAY* array) const { SafeArrayDestroy(array); }
};
using SafeArrayPtr = std::unique_ptr<SAFEARRAY, SafeArrayDestroyer>;

std::string toUtf8(const wchar_t* text, std::size_t length) {
    if (length == 0)
        return {};
    if (length > INT_MAX)
        throw AutomationError("A text from the accounting package is too long");
    const int size = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        throw AutomationError("A text from the accounting package could not be converted");
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::string fromBstr(BSTR text) {
    return text ? toUtf8(text, SysStringLen(text)) : std::string();
}

// Invalid UTF-8 is refused rather than posted with replacement characters.
std::wstring toWide(const std::string& text) {
    if (text.empty())
        return {};
    if (text.size() > INT_MAX)
        throw AutomationError("A text for the accounting package is too long");
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0)
        throw AutomationError("A text for the accounting package is not valid UTF-8");
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

BSTR toBstr(const std::string& text) {
    const std::wstring wide = toWide(text);
    BSTR bstr = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!bstr)
        throw AutomationError("Out of memory while passing a text to the accounting package");
    return bstr;
}

std::string trimmed(std::string text) {
    const auto end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

// The system's text for an HRESULT, followed by its code in hexadecimal.
std::string describeHresult(HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::string text;
    if (buffer) {
        try {
            text = trimmed(toUtf8(buffer, length));
        } catch (const AutomationError&) {
        }
        LocalFree(buffer);
    }
    if (text.empty())
        return std::string("OLE error ") + code;
    return text + " (" + code + ")";
}

void check(HRESULT hr, const std::string& context) {
    if (FAILED(hr))
        throw AutomationError(context + ": " + describeHresult(hr));
}

// The package's own text when it raised an exception, otherwise the failure's HRESULT. A
// deferred fill-in is called only when mayFillIn says that its address belongs to this process.
[[noreturn]] void throwInvokeError(HRESULT hr, ExcepInfo& info, UINT argError, UINT argCount,
                                   const std::string& member, bool mayFillIn) {
    if (hr == DISP_E_EXCEPTION) {
        if (info.value.pfnDeferredFillIn && mayFillIn)
            info.value.pfnDeferredFillIn(&info.value);
        std::string text = trimmed(fromBstr(info.value.bstrDescription));
        if (!text.empty())
            throw AutomationError(text);
        if (info.value.scode != 0)
            throw AutomationError(member + ": " + describeHresult(info.value.scode));
        throw AutomationError(member + ": the accounting package raised error " +
                              std::to_string(info.value.wCode));
    }
    std::string text = member + ": " + describeHresult(hr);
    if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) && argError < argCount)
        text += " (argument " + std::to_string(argCount - argError) + ")"; // arguments go reversed
    throw AutomationError(text);
}

void toVariant(const AutoValue& value, VARIANT& out);

SAFEARRAY* toSafeArray(const std::vector<AutoValue>& items) {
    SafeArrayPtr array(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size())));
    if (!array)
        throw AutomationError("Out of memory while passing an array to the accounting package");
    for (std::size_t i = 0; i < items.size(); ++i) {
        Variant item;
        toVariant(items[i], *item.get());
        LONG index = static_cast<LONG>(i);
        check(SafeArrayPutElement(array.get(), &index, item.get()), "Array element");
    }
    return array.release();
}

// out must be empty (VT_EMPTY); on failure it stays empty.
void toVariant(const AutoValue& value, VARIANT& out) {
    switch (value.type()) {
    case AutoValue::Type::Empty:
        V_VT(&out) = VT_EMPTY;
        break;
    case AutoValue::Type::Null:
        V_VT(&out) = VT_NULL;
        break;
    case AutoValue::Type::Text:
        V_BSTR(&out) = toBstr(value.asText());
        V_VT(&out) = VT_BSTR;
        break;
    case AutoValue::Type::Float:
        V_R8(&out) = value.asFloat();
        V_VT(&out) = VT_R8;
        break;
    case AutoValue::Type::Int:
        V_I4(&out) = value.asInt();
        V_VT(&out) = VT_I4;
        break;
    case AutoValue::Type::Bool:
        V_BOOL(&out) = value.asBool() ? VARIANT_TRUE : VARIANT_FALSE;
        V_VT(&out) = VT_BOOL;
        break;
    case AutoValue::Type::Array:
        V_ARRAY(&out) = toSafeArray(value.asArray());
        V_VT(&out) = VT_ARRAY | VT_VARIANT;
        break;
    case AutoValue::Type::Object: {
        auto* object = dynamic_cast<ComObject*>(value.asObject().get());
        if (!object)
            throw AutomationError("Only objects of the accounting package can be passed to it");
        object->dispatch()->AddRef();
        V_DISPATCH(&out) = object->dispatch();
        V_VT(&out) = VT_DISPATCH;
        break;
    }
    }
}

// What an object handed back by a call is made of: the caller's apartment, and the kind of
// object the member returns (none for objects inside arrays).
struct ResultPlace {
    const std::shared_ptr<ComApartment>& apartment;
    std::shared_ptr<DispatchKind> kind;
};

AutoValue fromVariant(VARIANT& in, const ResultPlace& place);

AutoValue objectValue(IDispatch* dispatch, const ResultPlace& place) {
    ComPtr<IDispatch> owned(dispatch);
    auto object = std::make_shared<ComObject>(owned.get(), place.apartment, place.kind);
    owned.release();
    return AutoValue::fromObject(std::move(object));
}

// Numbers of other widths: an Int when they fit, otherwise a Float.
AutoValue numberValue(VARIANT& in) {
    Variant converted;
    if (SUCCEEDED(VariantChangeType(converted.get(), &in, 0, VT_I4)))
        return AutoValue::fromInt(V_I4(converted.get()));
    check(VariantChangeType(converted.get(), &in, 0, VT_R8), "Number from the accounting package");
    return AutoValue::fromFloat(V_R8(converted.get()));
}

AutoValue fromSafeArray(SAFEARRAY* array, VARTYPE elementType, const ResultPlace& place) {
    if (!array)
        return AutoValue::fromArray({});
    if (SafeArrayGetDim(array) != 1)
        throw AutomationError("The accounting package returned an array of several dimensions");
    LONG lower = 0;
    LONG upper = -1;
    check(SafeArrayGetLBound(array, 1, &lower), "Array bounds");
    check(SafeArrayGetUBound(array, 1, &upper), "Array bounds");
    // Elements of these types fit the VARIANT's 8-byte value, so they are read straight into one.
    switch (elementType) {
    case VT_VARIANT:
    case VT_BSTR:
    case VT_R8:
    case VT_R4:
    case VT_I4:
    case VT_INT:
    case VT_I2:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_BOOL:
    case VT_CY:
    case VT_DATE:
    case VT_DISPATCH:
    case VT_UNKNOWN:
        break;
    default:
        throw AutomationError("The accounting package returned an array of an unsupported type " +
                              std::to_string(elementType));
    }
    std::vector<AutoValue> items;
    for (LONG index = lower; index <= upper; ++index) {
        Variant item;
        if (elementType == VT_VARIANT) {
            check(SafeArrayGetElement(array, &index, item.get()), "Array element");
        } else {
            check(SafeArrayGetElement(array, &index, &V_I8(item.get())), "Array element");
            V_VT(item.get()) = elementType;
        }
        items.push_back(fromVariant(*item.get(), {place.apartment, nullptr}));
    }
    return AutoValue::fromArray(std::move(items));
}

AutoValue fromVariant(VARIANT& in, const ResultPlace& place) {
    const VARTYPE type = V_VT(&in);
    if (type & VT_BYREF) {
        Variant direct;
        check(VariantCopyInd(direct.get(), &in), "Value from the accounting package");
        return fromVariant(*direct.get(), place);
    }
    if (type & VT_ARRAY)
        return fromSafeArray(V_ARRAY(&in), type & VT_TYPEMASK, place);
    switch (type) {
    case VT_EMPTY:
        return AutoValue::empty();
    case VT_NULL:
        return AutoValue::null();
    case VT_BSTR:
        return AutoValue::fromText(fromBstr(V_BSTR(&in)));
    case VT_R8:
        return AutoValue::fromFloat(V_R8(&in));
    case VT_R4:
        return AutoValue::fromFloat(V_R4(&in));
    case VT_I4:
        return AutoValue::fromInt(V_I4(&in));
    case VT_INT:
        return AutoValue::fromInt(V_INT(&in));
    case VT_I2:
        return AutoValue::fromInt(V_I2(&in));
    case VT_I1:
        return AutoValue::fromInt(V_I1(&in));
    case VT_UI1:
        return AutoValue::fromInt(V_UI1(&in));
    case VT_UI2:
        return AutoValue::fromInt(V_UI2(&in));
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
        return numberValue(in);
    case VT_BOOL:
        return AutoValue::fromBool(V_BOOL(&in) != VARIANT_FALSE);
    case VT_CY:
    case VT_DECIMAL:
    case VT_DATE: {
        Variant converted;
        check(VariantChangeType(converted.get(), &in, 0, VT_R8),
              "Value from the accounting package");
        return AutoValue::fromFloat(V_R8(converted.get()));
    }
    case VT_DISPATCH: {
        IDispatch* dispatch = V_DISPATCH(&in);
        if (!dispatch)
            return AutoValue::empty();
        dispatch->AddRef();
        return objectValue(dispatch, place);
    }
    case VT_UNKNOWN: {
        IUnknown* unknown = V_UNKNOWN(&in);
        if (!unknown)
            return AutoValue::empty();
        IDispatch* dispatch = nullptr;
        check(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)),
              "Object from the accounting package");
        return objectValue(dispatch, place);
    }
    case VT_ERROR:
        // An optional argument left out reads as nothing; any other error code is an error.
        if (V_ERROR(&in) == DISP_E_PARAMNOTFOUND)
            return AutoValue::empty();
        throw AutomationError("The accounting package returned " + describeHresult(V_ERROR(&in)));
    default: {
        Variant converted;
        if (SUCCEEDED(VariantChangeType(converted.get(), &in, 0, VT_BSTR)))
            return AutoValue::fromText(fromBstr(V_BSTR(converted.get())));
        throw AutomationError("The accounting package returned a value of unsupported type " +
                              std::to_string(type));
    }
    }
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

std::shared_ptr<ComApartment> ComApartment::forThisThread() {
    thread_local std::shared_ptr<ComApartment> apartment = std::make_shared<ComApartment>();
    return apartment;
}

ComApartment::ComApartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // A thread that already joined the multithreaded apartment can still make calls; that
    // initialisation is not ours to end.
    if (hr == RPC_E_CHANGED_MODE)
        return;
    check(hr, "COM initialisation");
    initialised_ = true; // S_OK and S_FALSE both need their CoUninitialize
}

ComApartment::~ComApartment() {
    if (initialised_)
        CoUninitialize();
}

ComObject::ComObject(IDispatch* dispatch, std::shared_ptr<ComApartment> apartment,
                     std::shared_ptr<DispatchKind> kind) noexcept
    : apartment_(std::move(apartment)), dispatch_(dispatch), kind_(std::move(kind)) {}

ComObject::~ComObject() {
    if (dispatch_)
        dispatch_->Release();
}

long ComObject::lookUp(const std::string& member, const std::string& key) {
    std::wstring name = toWide(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (hr == DISP_E_UNKNOWNNAME)
        throw AutomationError("The accounting package has no member named '" + member + "'");
    check(hr, member);
    ids_[key] = id;
    if (kind_)
        kind_->learned(key, id);
    return id;
}

// Makes call(id) with the member's dispatch id: this object's own, else the one its kind shares,
// else one looked up now. A shared id that this object does not know is looked up, and the call
// made again, since a call that found no member did nothing.
template <class Call> long ComObject::callMember(const std::string& member, Call&& call) {
    if (!dispatch_)
        throw AutomationError("No automation object to call");
    const std::string key = lowerCase(member);
    if (const auto found = ids_.find(key); found != ids_.end())
        return call(found->second);
    if (const DISPID* shared = kind_ ? kind_->shared(key) : nullptr) {
        const DISPID id = *shared;
        const HRESULT hr = call(id);
        if (hr != DISP_E_MEMBERNOTFOUND) {
            ids_.emplace(key, id);
            return hr;
        }
        kind_->refuse(key);
    }
    return call(lookUp(member, key));
}

// A deferred fill-in may be called only on an object of this apartment. Through a proxy the
// address comes from the server's process: Windows runs the fill-in there before the reply,
// Wine passes the address on (cut to 32 bits), and calling it here would jump into nothing.
// Every proxy of the COM runtime offers IClientSecurity; an object of the package does not.
bool ComObject::inThisApartment() {
    if (direct_ < 0) {
        IUnknown* security = nullptr;
        const bool proxy = SUCCEEDED(
            dispatch_->QueryInterface(IID_IClientSecurity, reinterpret_cast<void**>(&security)));
        if (security)
            security->Release();
        direct_ = proxy ? 0 : 1;
    }
    return direct_ == 1;
}

AutoValue ComObject::invoke(const std::string& member, const std::vector<AutoValue>& args) {
    VariantList arguments(args.size());
    // IDispatch takes the arguments last to first.
    for (std::size_t i = 0; i < args.size(); ++i)
        toVariant(args[i], arguments[args.size() - 1 - i]);
    DISPPARAMS params{};
    params.rgvarg = arguments.data();
    params.cArgs = arguments.size();
    Variant result;
    ExcepInfo info;
    UINT argError = 0;
    const HRESULT hr = callMember(member, [&](DISPID id) {
        return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT,
                                 DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, result.get(),
                                 &info.value, &argError);
    });
    if (FAILED(hr))
        throwInvokeError(hr, info, argError, params.cArgs, member,
                         hr == DISP_E_EXCEPTION && inThisApartment());
    return fromVariant(*result.get(),
                       {apartment_, kind_ ? kind_->child(lowerCase(member)) : nullptr});
}

void ComObject::put(const std::string& property, const AutoValue& value) {
    Variant argument;
    toVariant(value, *argument.get());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = argument.get();
    params.rgdispidNamedArgs = &named;
    params.cArgs = 1;
    params.cNamedArgs = 1;
    ExcepInfo info;
    UINT argError = 0;
    const HRESULT hr = callMember(property, [&](DISPID id) {
        return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                 nullptr, &info.value, &argError);
    });
    if (FAILED(hr))
        throwInvokeError(hr, info, argError, params.cArgs, property,
                         hr == DISP_E_EXCEPTION && inThisApartment());
}

namespace {

// The class is missing, as opposed to present but failing to start.
bool notRegistered(HRESULT hr) {
    return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG || hr == REGDB_E_READREGDB ||
           hr == REGDB_E_KEYMISSING;
}

[[noreturn]] void throwNotRegistered(const std::string& progId, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    throw AutomationError("The automation server " + progId +
                          " is not registered on this computer: install the accounting package "
                          "or register its server (OLE error " +
                          code + ")");
}

} // namespace

AutoObjectPtr CreateComObject(const std::string& progId, DispatchIdSharing sharing) {
    std::shared_ptr<ComApartment> apartment = ComApartment::forThisThread();
    const std::wstring name = toWide(progId);
    CLSID classId{};
    HRESULT hr = CLSIDFromProgID(name.c_str(), &classId);
    if (notRegistered(hr))
        throwNotRegistered(progId, hr);
    check(hr, progId);
    IDispatch* dispatch = nullptr;
    hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                          IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (notRegistered(hr))
        throwNotRegistered(progId, hr);
    if (FAILED(hr))
        throw AutomationError("The automation server " + progId +
                              " could not be started: " + describeHresult(hr));
    std::shared_ptr<DispatchKind> kind;
    if (sharing == DispatchIdSharing::PerKind)
        kind = std::make_shared<DispatchKind>();
    return objectValue(dispatch, {apartment, std::move(kind)}).asObject();
}
