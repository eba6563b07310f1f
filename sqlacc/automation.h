#pragma once

// The late-bound automation interface through which the program drives the accounting
// package: objects whose members are called by name at run time with variant arguments, the way
// an IDispatch client does. Standard C++ only, so the Windows adapter builds without Qt.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class AutoObject;
using AutoObjectPtr = std::shared_ptr<AutoObject>;

// An error raised by the accounting package or by the automation layer. Its text (UTF-8) is the
// package's own, shown to the user unchanged.
class AutomationError : public std::runtime_error {
public:
    explicit AutomationError(const std::string& message) : std::runtime_error(message) {}
};

// A value passed to or returned by the package, shaped like an OLE variant.
// Text is UTF-8; Float is an 8-byte float (quantities and amounts), Int a 32-bit integer, Bool a
// true/false value (VARIANT_BOOL). The converting constructors let calls read like the package's
// own notation: setField(detail, "Qty", 2.5) and setField(detail, "UnitPrice", 12.5) send Floats,
// setField(dataSet, "IsBase", 1) an Int.
class AutoValue {
public:
    enum class Type { Empty, Null, Text, Float, Int, Bool, Array, Object };

    AutoValue() = default; // Empty
    AutoValue(const char* text) : data_(std::string(text)) {}
    AutoValue(std::string text) : data_(std::move(text)) {}
    AutoValue(double value) : data_(value) {}
    AutoValue(std::int32_t value) : data_(value) {}
    AutoValue(bool value) : data_(value) {}
    // A char would silently become an Int; say AutoValue("T") or AutoValue(int(c)).
    AutoValue(char) = delete;
    AutoValue(std::nullptr_t) = delete;

    static AutoValue empty() { return {}; }
    static AutoValue null();
    static AutoValue fromText(std::string text) { return AutoValue(std::move(text)); }
    static AutoValue fromFloat(double value) { return AutoValue(value); }
    static AutoValue fromInt(std::int32_t value) { return AutoValue(value); }
    static AutoValue fromBool(bool value) { return AutoValue(value); }
    static AutoValue fromArray(std::vector<AutoValue> items);
    static AutoValue fromObject(AutoObjectPtr object);

    Type type() const { return static_cast<Type>(data_.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isText() const { return type() == Type::Text; }
    bool isFloat() const { return type() == Type::Float; }
    bool isInt() const { return type() == Type::Int; }
    bool isBool() const { return type() == Type::Bool; }
    bool isArray() const { return type() == Type::Array; }
    bool isObject() const { return type() == Type::Object; }

    // Strict accessors: each throws AutomationError when the value holds another type, except
    // that asFloat also takes an Int and asBool also takes an Int (non-zero is true), as the
    // package's own variant conversions do.
    const std::string& asText() const;
    double asFloat() const;
    std::int32_t asInt() const;
    bool asBool() const;
    const std::vector<AutoValue>& asArray() const;
    // Throws also for an Object that holds no object.
    AutoObjectPtr asObject() const;

    // The value as text, as a record key is handed back to the package: Text unchanged, Int
    // and Float as plain decimal numbers (3.0 gives "3"), Bool "True"/"False", Empty "".
    // Null, Array and Object throw AutomationError.
    std::string toText() const;

    // A stable readable form for logs and tests: "-1" (quoted text, with \" \\ and control
    // characters escaped), 3 (Int), 12.5 (Float, shortest form that reads back to the same
    // double; a whole number keeps ".0", so 3.0 and the Int 3 stay apart), true, false, Null,
    // Empty, Object and ["IV","X1"] (arrays, no spaces).
    std::string describe() const;

    // Same type and same value; objects compare by identity, Float never equals Int.
    friend bool operator==(const AutoValue& a, const AutoValue& b);

private:
    struct NullTag {};
    using Data = std::variant<std::monostate, NullTag, std::string, double, std::int32_t, bool,
                              std::vector<AutoValue>, AutoObjectPtr>;
    Data data_;
};

// An object of the package reached by late binding. Member names match case-insensitively.
class AutoObject {
public:
    virtual ~AutoObject() = default;

    // Calls a method or reads a property (IDispatch's DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    // a call with no result returns Empty. Failures throw AutomationError.
    virtual AutoValue invoke(const std::string& member,
                             const std::vector<AutoValue>& args = {}) = 0;

    // Writes a property.
    virtual void put(const std::string& property, const AutoValue& value) = 0;
};

// True when two member names are the same apart from ASCII letter case.
bool SameMemberName(std::string_view a, std::string_view b);

// Helpers that keep posting code close to the package's notation. Each throws AutomationError
// when handed no object.

// obj.name(args), whose result must be an object.
AutoObjectPtr member(const AutoObjectPtr& obj, const std::string& name,
                     const std::vector<AutoValue>& args = {});

// bizApp.BizObjects.Find(name): the business object of that name.
AutoObjectPtr findBizObject(const AutoObjectPtr& bizApp, const std::string& name);

// bizObject.DataSets.Find(name): one of the business object's datasets.
AutoObjectPtr findDataSet(const AutoObjectPtr& bizObject, const std::string& name);

// dataSet.FindField(field).value := value: sets a field of the dataset's current row.
void setField(const AutoObjectPtr& dataSet, const std::string& field, const AutoValue& value);

// dataSet.FindField(field).<accessor>: reads a field of the dataset's current row through one of
// the field's accessors ("Value", "AsString", "AsFloat").
AutoValue fieldValue(const AutoObjectPtr& dataSet, const std::string& field,
                     const std::string& accessor = "Value");

// bizObject.Params.Find(name).Value := value: selects the record that Open loads.
void setParam(const AutoObjectPtr& bizObject, const std::string& name, const AutoValue& value);
