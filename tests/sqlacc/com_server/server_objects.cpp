// The test server's objects: the application object, business objects, datasets, fields and
// parameters, with the few answers the posting routines look at. Members of one name on objects
// of different kinds (Find, Edit) have different dispatch ids, and ids of one kind are those of
// another kind's other members, so that an id carried to the wrong kind of object calls the
// wrong member and shows in the log.

#include "tests/sqlacc/com_server/server_objects.h"

#include <map>
#include <memory>
#include <utility>

namespace test_server {

namespace {

struct Alive {
    const char* kind;
    const ServerObject* object;
};
std::map<int, Alive> alive;
int nextNumber = 1;

std::string lowerAscii(const wchar_t* name) {
    std::string out;
    for (; *name; ++name) {
        wchar_t c = *name;
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

bool sameName(const wchar_t* a, const wchar_t* b) {
    for (;; ++a, ++b) {
        wchar_t x = *a;
        wchar_t y = *b;
        if (x >= L'A' && x <= L'Z')
            x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z')
            y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y)
            return false;
        if (x == 0)
            return true;
    }
}

// A VARIANT that can be kept in a map.
class Value {
public:
    Value() { VariantInit(&value_); }
    explicit Value(const VARIANT& from) : Value() {
        VariantCopyInd(&value_, const_cast<VARIANT*>(&from));
    }
    Value(const Value& other) : Value() {
        VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
    }
    Value& operator=(const Value& other) {
        if (this != &other)
            VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
        return *this;
    }
    ~Value() { VariantClear(&value_); }
    const VARIANT& get() const { return value_; }

private:
    VARIANT value_;
};

std::wstring textOf(const VARIANT& value) {
    if (V_VT(&value) != VT_BSTR || !V_BSTR(&value))
        return {};
    return std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
}

bool isText(const VARIANT* value) {
    return V_VT(value) == VT_BSTR;
}

void setBool(VARIANT& result, bool value) {
    V_VT(&result) = VT_BOOL;
    V_BOOL(&result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void setObject(VARIANT& result, ServerObject* object) {
    V_VT(&result) = VT_DISPATCH;
    V_DISPATCH(&result) = object; // the reference it was made with
}

// The record being edited through one business object: the values written to its datasets'
// fields and its parameters, by "dataset.field" in lower case.
struct Document {
    std::wstring name;
    std::map<std::string, Value> values;
};
using DocumentPtr = std::shared_ptr<Document>;

std::string valueKey(const std::wstring& dataSet, const wchar_t* field) {
    return lowerAscii(dataSet.c_str()) + "." + lowerAscii(field);
}

// ---- error texts ----

// The text of the exception being raised, taken by the deferred fill-in.
std::wstring pendingDescription;

HRESULT STDMETHODCALLTYPE fillException(EXCEPINFO* exception) {
    exception->bstrSource = SysAllocString(ProgId);
    exception->bstrDescription =
        SysAllocStringLen(pendingDescription.data(), static_cast<UINT>(pendingDescription.size()));
    return S_OK;
}

HRESULT raise(EXCEPINFO* exception, const std::wstring& description) {
    if (exception) {
        *exception = EXCEPINFO{};
        exception->wCode = 1001;
        pendingDescription = description;
        // The local server fills the text in at once, and leaves the fill-in's address set too:
        // Windows would run it in the server before the reply, but Wine hands the address to
        // the client, cut to 32 bits, so a client that calls it crashes.
        exception->pfnDeferredFillIn = fillException;
        if (CurrentHousing() == Housing::LocalServer)
            fillException(exception);
    }
    return DISP_E_EXCEPTION;
}

// ---- the objects ----

class Field : public ServerObject {
public:
    Field(DocumentPtr document, std::wstring dataSet, std::wstring name)
        : ServerObject("Field", members()), document_(std::move(document)),
          key_(valueKey(dataSet, name.c_str())) {}

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {{L"Value", DISPID_VALUE, 0, true},
                                                  {L"AsString", 1, 0, true},
                                                  {L"AsFloat", 2, 0, false}};
        return table;
    }

    HRESULT call(const Member& member, bool put, const std::vector<const VARIANT*>& args,
                 VARIANT& result, EXCEPINFO*) override {
        if (put) {
            Value value(*args[0]);
            if (member.id != DISPID_VALUE) {
                VARIANT text;
                VariantInit(&text);
                const HRESULT hr =
                    VariantChangeType(&text, const_cast<VARIANT*>(&value.get()), 0, VT_BSTR);
                if (FAILED(hr))
                    return DISP_E_TYPEMISMATCH;
                value = Value(text);
                VariantClear(&text);
            }
            document_->values[key_] = value;
            return S_OK;
        }
        const auto found = document_->values.find(key_);
        if (member.id == 2) { // AsFloat: 0 for a field never written
            if (found == document_->values.end() || V_VT(&found->second.get()) == VT_NULL) {
                V_VT(&result) = VT_R8;
                V_R8(&result) = 0.0;
                return S_OK;
            }
            return VariantChangeType(&result, const_cast<VARIANT*>(&found->second.get()), 0, VT_R8);
        }
        if (member.id == DISPID_VALUE) {
            if (found == document_->values.end())
                V_VT(&result) = VT_NULL;
            else
                VariantCopy(&result, const_cast<VARIANT*>(&found->second.get()));
            return S_OK;
        }
        if (found == document_->values.end() || V_VT(&found->second.get()) == VT_NULL) {
            V_VT(&result) = VT_BSTR;
            V_BSTR(&result) = SysAllocString(L"");
            return S_OK;
        }
        return VariantChangeType(&result, const_cast<VARIANT*>(&found->second.get()), 0, VT_BSTR);
    }

    DocumentPtr document_;
    std::string key_;
};

class Params : public ServerObject {
public:
    explicit Params(DocumentPtr document)
        : ServerObject("Params", members()), document_(std::move(document)) {}

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {{L"Find", 3, 1, false}};
        return table;
    }

    HRESULT call(const Member&, bool, const std::vector<const VARIANT*>& args, VARIANT& result,
                 EXCEPINFO*) override {
        if (!isText(args[0]))
            return DISP_E_TYPEMISMATCH;
        setObject(result, new Field(document_, L"Params", textOf(*args[0])));
        return S_OK;
    }

    DocumentPtr document_;
};

class DataSet : public ServerObject {
public:
    DataSet(DocumentPtr document, std::wstring name)
        : ServerObject("DataSet", members()), document_(std::move(document)),
          name_(std::move(name)) {}

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {
            {L"FindField", 1, 1, false},     {L"Append", 2, 0, false},
            {L"Post", 3, 0, false},          {L"Locate", 4, 4, false},
            {L"Edit", 5, 0, false},          {L"DisableControls", 6, 0, false},
            {L"EnableControls", 7, 0, false}};
        return table;
    }

    HRESULT call(const Member& member, bool, const std::vector<const VARIANT*>& args,
                 VARIANT& result, EXCEPINFO*) override {
        switch (member.id) {
        case 1:
            if (!isText(args[0]))
                return DISP_E_TYPEMISMATCH;
            setObject(result, new Field(document_, name_, textOf(*args[0])));
            return S_OK;
        case 4:
            setBool(result, knockOffListed(*args[1]));
            return S_OK;
        default:
            return S_OK;
        }
    }

    // The knock-off list holds one open document: invoice IV-1001.
    static bool knockOffListed(const VARIANT& values) {
        if (V_VT(&values) != (VT_ARRAY | VT_VARIANT) || !V_ARRAY(&values))
            return false;
        SAFEARRAY* array = V_ARRAY(&values);
        LONG lower = 0;
        LONG upper = -1;
        SafeArrayGetLBound(array, 1, &lower);
        SafeArrayGetUBound(array, 1, &upper);
        if (upper - lower != 1)
            return false;
        std::wstring texts[2];
        for (LONG i = 0; i < 2; ++i) {
            LONG index = lower + i;
            VARIANT item;
            VariantInit(&item);
            SafeArrayGetElement(array, &index, &item);
            texts[i] = textOf(item);
            VariantClear(&item);
        }
        return texts[0] == L"IV" && texts[1] == L"IV-1001";
    }

    DocumentPtr document_;
    std::wstring name_;
};

class DataSets : public ServerObject {
public:
    explicit DataSets(DocumentPtr document)
        : ServerObject("DataSets", members()), document_(std::move(document)) {}

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {{L"Find", 2, 1, false}};
        return table;
    }

    HRESULT call(const Member&, bool, const std::vector<const VARIANT*>& args, VARIANT& result,
                 EXCEPINFO*) override {
        if (!isText(args[0]))
            return DISP_E_TYPEMISMATCH;
        setObject(result, new DataSet(document_, textOf(*args[0])));
        return S_OK;
    }

    DocumentPtr document_;
};

class BizObject : public ServerObject {
public:
    explicit BizObject(std::wstring name)
        : ServerObject("BizObject", members()), document_(std::make_shared<Document>()) {
        document_->name = std::move(name);
    }

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {
            {L"DataSets", 1, 0, false}, {L"New", 2, 0, false},  {L"Open", 3, 0, false},
            {L"Edit", 4, 0, false},     {L"Save", 5, 0, false}, {L"FindKeyByRef", 6, 2, false},
            {L"Params", 7, 0, false},   {L"Close", 8, 0, false}};
        return table;
    }

    HRESULT call(const Member& member, bool, const std::vector<const VARIANT*>& args,
                 VARIANT& result, EXCEPINFO*) override {
        switch (member.id) {
        case 1:
            setObject(result, new DataSets(document_));
            return S_OK;
        case 2:
            document_->values.clear();
            return S_OK;
        case 5:
            return save();
        case 6:
            // The key fields, and one value or an array of values ("DocNo;Code").
            if (!isText(args[0]) || (!isText(args[1]) && V_VT(args[1]) != (VT_ARRAY | VT_VARIANT)))
                return DISP_E_TYPEMISMATCH;
            key(isText(args[1]) ? textOf(*args[1]) : std::wstring(), result);
            return S_OK;
        case 7:
            setObject(result, new Params(document_));
            return S_OK;
        default:
            return S_OK;
        }
    }

    // A document numbered FAIL-HR cannot be stored: the disk is full, and the package says so
    // with nothing but the HRESULT.
    HRESULT save() {
        const auto found = document_->values.find("maindataset.docno");
        if (found != document_->values.end() && textOf(found->second.get()) == L"FAIL-HR")
            return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
        return S_OK;
    }

    // The records the package holds: supplier V-0001 (keyed by its code), stock item P1 (key 7)
    // and the cash sale S001-01-000000007 (key 41), which the posting reads back after saving
    // it; every other reference is not there.
    void key(const std::wstring& reference, VARIANT& result) const {
        if (document_->name == L"SL_CS" && reference == L"S001-01-000000007") {
            V_VT(&result) = VT_I4;
            V_I4(&result) = 41;
        } else if (document_->name == L"AP_SUPPLIER" && reference == L"V-0001") {
            V_VT(&result) = VT_BSTR;
            V_BSTR(&result) = SysAllocString(L"V-0001");
        } else if (document_->name == L"ST_ITEM" && reference == L"P1") {
            V_VT(&result) = VT_I4;
            V_I4(&result) = 7;
        } else {
            V_VT(&result) = VT_NULL;
        }
    }

    DocumentPtr document_;
};

class BizObjects : public ServerObject {
public:
    BizObjects() : ServerObject("BizObjects", members()) {}

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {{L"Find", 1, 1, false}};
        return table;
    }

    HRESULT call(const Member&, bool, const std::vector<const VARIANT*>& args, VARIANT& result,
                 EXCEPINFO*) override {
        if (!isText(args[0]))
            return DISP_E_TYPEMISMATCH;
        setObject(result, new BizObject(textOf(*args[0])));
        return S_OK;
    }
};

// The profile report: its dataset cdsProfile names the company whose books are open.
class Report : public ServerObject {
public:
    Report() : ServerObject("Report", members()), document_(std::make_shared<Document>()) {
        document_->name = L"Common.Agent.RO";
        VARIANT company;
        V_VT(&company) = VT_BSTR;
        V_BSTR(&company) = SysAllocString(CompanyName);
        document_->values[valueKey(L"cdsProfile", L"CompanyName")] = Value(company);
        VariantClear(&company);
    }

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {{L"CalculateReport", 2, 0, false},
                                                  {L"DataSets", 1, 0, false}};
        return table;
    }

    HRESULT call(const Member& member, bool, const std::vector<const VARIANT*>&, VARIANT& result,
                 EXCEPINFO*) override {
        if (member.id == 1)
            setObject(result, new DataSets(document_));
        return S_OK;
    }

    DocumentPtr document_;
};

class ReportObjects : public ServerObject {
public:
    ReportObjects() : ServerObject("ReportObjects", members()) {}

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {{L"Find", 3, 1, false}};
        return table;
    }

    HRESULT call(const Member&, bool, const std::vector<const VARIANT*>& args, VARIANT& result,
                 EXCEPINFO*) override {
        if (!isText(args[0]))
            return DISP_E_TYPEMISMATCH;
        setObject(result, new Report());
        return S_OK;
    }
};

class BizApp : public ServerObject {
public:
    BizApp() : ServerObject("BizApp", members()) {}

private:
    static const std::vector<Member>& members() {
        static const std::vector<Member> table = {{L"IsLogin", 1, 0, false},
                                                  {L"Login", 2, 4, false},
                                                  {L"BizObjects", 3, 0, false},
                                                  {L"BuildNo", 4, 0, false},
                                                  {L"RptObjects", 5, 0, false}};
        return table;
    }

    HRESULT call(const Member& member, bool, const std::vector<const VARIANT*>& args,
                 VARIANT& result, EXCEPINFO* exception) override {
        switch (member.id) {
        case 1:
            setBool(result, loggedIn_);
            return S_OK;
        case 2:
            for (const VARIANT* arg : args) {
                if (!isText(arg))
                    return DISP_E_TYPEMISMATCH;
            }
            // One user: U with password P.
            if (textOf(*args[1]) != L"P")
                return raise(exception, L"Login refused: the password of user \u201C" +
                                            textOf(*args[0]) + L"\u201D is wrong");
            loggedIn_ = true;
            return S_OK;
        case 4:
            V_VT(&result) = VT_BSTR;
            V_BSTR(&result) = SysAllocString(BuildNumber);
            return S_OK;
        case 5:
            setObject(result, new ReportObjects());
            return S_OK;
        default:
            setObject(result, new BizObjects());
            return S_OK;
        }
    }

    bool loggedIn_ = false;
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Log("alive " + AliveList());
        BizApp* app = new BizApp();
        Log("create #" + std::to_string(app->number()));
        const HRESULT hr = app->QueryInterface(riid, object);
        app->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        ChangeLocks(lock != FALSE);
        return S_OK;
    }

private:
    LONG references_ = 1;
};

} // namespace

// ---- the base ----

ServerObject::ServerObject(const char* kind, const std::vector<Member>& members)
    : kind_(kind), members_(members), number_(nextNumber++) {
    alive[number_] = {kind_, this};
}

ServerObject::~ServerObject() {
    alive.erase(number_);
    CheckLastRelease();
}

HRESULT STDMETHODCALLTYPE ServerObject::QueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ServerObject::AddRef() {
    return InterlockedIncrement(&references_);
}

ULONG STDMETHODCALLTYPE ServerObject::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE ServerObject::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ServerObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE ServerObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                                      LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        Log("#" + std::to_string(number_) + " lookup " + lowerAscii(names[i]));
        ids[i] = DISPID_UNKNOWN;
        if (i > 0) { // no member takes named arguments
            hr = DISP_E_UNKNOWNNAME;
            continue;
        }
        for (const Member& member : members_) {
            if (sameName(member.name, names[i]))
                ids[i] = member.id;
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE ServerObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                               DISPPARAMS* params, VARIANT* result,
                                               EXCEPINFO* exception, UINT*) {
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    std::string line = "#" + std::to_string(number_) + " ";
    const Member* member = nullptr;
    for (const Member& candidate : members_) {
        if (candidate.id == id)
            member = &candidate;
    }
    if (!member) {
        Log(line + "invoke unknown id " + std::to_string(id));
        return DISP_E_MEMBERNOTFOUND;
    }
    const UINT count = params ? params->cArgs : 0;
    const UINT named = params ? params->cNamedArgs : 0;
    const bool put = flags == DISPATCH_PROPERTYPUT && named == 1 &&
                     params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    std::string how;
    if (put)
        how = "put";
    else if (flags == (DISPATCH_METHOD | DISPATCH_PROPERTYGET))
        how = "call";
    else if (flags == DISPATCH_METHOD)
        how = "method";
    else if (flags == DISPATCH_PROPERTYGET)
        how = "get";
    else
        how = "invoke flags=" + std::to_string(flags) + " named=" + std::to_string(named);

    // IDispatch passes the arguments last to first.
    std::vector<const VARIANT*> args;
    for (UINT i = 0; i < count; ++i)
        args.push_back(&params->rgvarg[count - 1 - i]);
    line += how + " " + lowerAscii(member->name) + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            line += ',';
        line += DescribeVariant(*args[i]);
    }
    line += ")";

    VARIANT value;
    VariantInit(&value);
    HRESULT hr = S_OK;
    if (how.rfind("invoke", 0) == 0 || (put && !member->writable))
        hr = DISP_E_MEMBERNOTFOUND;
    else if (named > 0 && !put)
        hr = DISP_E_NONAMEDARGS;
    else if (args.size() != member->args + (put ? 1 : 0))
        hr = DISP_E_BADPARAMCOUNT;
    else
        hr = call(*member, put, args, value, exception);

    if (FAILED(hr))
        line += " -> failed";
    else if (V_VT(&value) != VT_EMPTY)
        line += " -> " + DescribeVariant(value);
    Log(line);
    if (SUCCEEDED(hr) && result)
        *result = value; // handed over, not copied
    else
        VariantClear(&value);
    return hr;
}

std::string DescribeObject(IDispatch* object) {
    if (!object)
        return "DISPATCH(null)";
    for (const auto& [number, entry] : alive) {
        if (static_cast<const IDispatch*>(entry.object) == object)
            return "#" + std::to_string(number);
    }
    return "DISPATCH(not of this server)";
}

LONG ObjectsAlive() {
    return static_cast<LONG>(alive.size());
}

std::string AliveList() {
    std::string out = std::to_string(alive.size());
    const char* separator = ": ";
    for (const auto& [number, entry] : alive) {
        out += separator;
        out += "#" + std::to_string(number) + " " + entry.kind;
        separator = ", ";
    }
    return out;
}

IClassFactory* NewClassFactory() {
    return new Factory();
}

} // namespace test_server
