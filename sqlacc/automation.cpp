#include "sqlacc/automation.h"

#include <charconv>
#include <cstdio>
#include <system_error>

namespace {

const char* typeName(AutoValue::Type type) {
    switch (type) {
    case AutoValue::Type::Empty:
        return "Empty";
    case AutoValue::Type::Null:
        return "Null";
    case AutoValue::Type::Text:
        return "Text";
    case AutoValue::Type::Float:
        return "Float";
    case AutoValue::Type::Int:
        return "Int";
    case AutoValue::Type::Bool:
        return "Bool";
    case AutoValue::Type::Array:
        return "Array";
    case AutoValue::Type::Object:
        return "Object";
    }
    return "?";
}

[[noreturn]] void wrongType(const AutoValue& value, const char* wanted) {
    throw AutomationError(std::string("Could not convert a value of type ") +
                          typeName(value.type()) + " into type " + wanted);
}

// The shortest decimal form that reads back to the same double.
std::string shortestDecimal(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void appendDescription(std::string& out, const AutoValue& value) {
    switch (value.type()) {
    case AutoValue::Type::Empty:
        out += "Empty";
        break;
    case AutoValue::Type::Null:
        out += "Null";
        break;
    case AutoValue::Type::Text:
        appendQuoted(out, value.asText());
        break;
    case AutoValue::Type::Float: {
        const std::string number = shortestDecimal(value.asFloat());
        out += number;
        if (number.find_first_of(".eni") == std::string::npos)
            out += ".0";
        break;
    }
    case AutoValue::Type::Int:
        out += std::to_string(value.asInt());
        break;
    case AutoValue::Type::Bool:
        out += value.asBool() ? "true" : "false";
        break;
    case AutoValue::Type::Array: {
        out += '[';
        bool first = true;
        for (const AutoValue& item : value.asArray()) {
            if (!first)
                out += ',';
            first = false;
            appendDescription(out, item);
        }
        out += ']';
        break;
    }
    case AutoValue::Type::Object:
        out += "Object";
        break;
    }
}

AutoObject& required(const AutoObjectPtr& obj) {
    if (!obj)
        throw AutomationError("No automation object to call");
    return *obj;
}

} // namespace

AutoValue AutoValue::null() {
    AutoValue value;
    value.data_ = NullTag{};
    return value;
}

AutoValue AutoValue::fromArray(std::vector<AutoValue> items) {
    AutoValue value;
    value.data_ = std::move(items);
    return value;
}

AutoValue AutoValue::fromObject(AutoObjectPtr object) {
    AutoValue value;
    value.data_ = std::move(object);
    return value;
}

const std::string& AutoValue::asText() const {
    if (const auto* text = std::get_if<std::string>(&data_))
        return *text;
    wrongType(*this, "Text");
}

double AutoValue::asFloat() const {
    if (const auto* number = std::get_if<double>(&data_))
        return *number;
    if (const auto* number = std::get_if<std::int32_t>(&data_))
        return *number;
    wrongType(*this, "Float");
}

std::int32_t AutoValue::asInt() const {
    if (const auto* number = std::get_if<std::int32_t>(&data_))
        return *number;
    wrongType(*this, "Int");
}

bool AutoValue::asBool() const {
    if (const auto* flag = std::get_if<bool>(&data_))
        return *flag;
    if (const auto* number = std::get_if<std::int32_t>(&data_))
        return *number != 0;
    wrongType(*this, "Bool");
}

const std::vector<AutoValue>& AutoValue::asArray() const {
    if (const auto* items = std::get_if<std::vector<AutoValue>>(&data_))
        return *items;
    wrongType(*this, "Array");
}

AutoObjectPtr AutoValue::asObject() const {
    if (const auto* object = std::get_if<AutoObjectPtr>(&data_)) {
        if (!*object)
            throw AutomationError("The automation value holds no object");
        return *object;
    }
    wrongType(*this, "Object");
}

std::string AutoValue::toText() const {
    switch (type()) {
    case Type::Empty:
        return {};
    case Type::Text:
        return asText();
    case Type::Float:
        return shortestDecimal(asFloat());
    case Type::Int:
        return std::to_string(asInt());
    case Type::Bool:
        return asBool() ? "True" : "False";
    case Type::Null:
    case Type::Array:
    case Type::Object:
        break;
    }
    wrongType(*this, "Text");
}

std::string AutoValue::describe() const {
    std::string out;
    appendDescription(out, *this);
    return out;
}

bool operator==(const AutoValue& a, const AutoValue& b) {
    if (a.type() != b.type())
        return false;
    switch (a.type()) {
    case AutoValue::Type::Empty:
    case AutoValue::Type::Null:
        return true;
    case AutoValue::Type::Text:
        return a.asText() == b.asText();
    case AutoValue::Type::Float:
        return a.asFloat() == b.asFloat();
    case AutoValue::Type::Int:
        return a.asInt() == b.asInt();
    case AutoValue::Type::Bool:
        return a.asBool() == b.asBool();
    case AutoValue::Type::Array:
        return a.asArray() == b.asArray();
    case AutoValue::Type::Object:
        return std::get<AutoObjectPtr>(a.data_) == std::get<AutoObjectPtr>(b.data_);
    }
    return false;
}

bool SameMemberName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

AutoObjectPtr member(const AutoObjectPtr& obj, const std::string& name,
                     const std::vector<AutoValue>& args) {
    const AutoValue result = required(obj).invoke(name, args);
    if (!result.isObject())
        throw AutomationError("The automation member " + name + " returned " + result.describe() +
                              " where an object was expected");
    return result.asObject();
}

AutoObjectPtr findBizObject(const AutoObjectPtr& bizApp, const std::string& name) {
    return member(member(bizApp, "BizObjects"), "Find", {name});
}

AutoObjectPtr findDataSet(const AutoObjectPtr& bizObject, const std::string& name) {
    return member(member(bizObject, "DataSets"), "Find", {name});
}

void setField(const AutoObjectPtr& dataSet, const std::string& field, const AutoValue& value) {
    member(dataSet, "FindField", {field})->put("value", value);
}

AutoValue fieldValue(const AutoObjectPtr& dataSet, const std::string& field,
                     const std::string& accessor) {
    return member(dataSet, "FindField", {field})->invoke(accessor);
}

void setParam(const AutoObjectPtr& bizObject, const std::string& name, const AutoValue& value) {
    member(member(bizObject, "Params"), "Find", {name})->put("Value", value);
}
