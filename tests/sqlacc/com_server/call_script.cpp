#include "tests/sqlacc/com_server/call_script.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <utility>

namespace {

[[noreturn]] void unreadable(std::string_view text, const std::string& why) {
    throw CallScriptError("'" + std::string(text) + "': " + why);
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Reads the values of AutoValue::describe from a position in a text.
class ValueReader {
public:
    explicit ValueReader(std::string_view text) : text_(text) {}

    AutoValue value() {
        if (at('"'))
            return AutoValue::fromText(quoted());
        if (at('[')) {
            ++pos_;
            std::vector<AutoValue> items;
            if (at(']')) {
                ++pos_;
                return AutoValue::fromArray(std::move(items));
            }
            for (;;) {
                items.push_back(value());
                if (at(']')) {
                    ++pos_;
                    return AutoValue::fromArray(std::move(items));
                }
                expect(',');
            }
        }
        if (word("Null"))
            return AutoValue::null();
        if (word("Empty"))
            return AutoValue::empty();
        if (word("true"))
            return AutoValue::fromBool(true);
        if (word("false"))
            return AutoValue::fromBool(false);
        if (word("Object"))
            unreadable(text_, "objects are named by their number");
        return number();
    }

    std::string quoted() {
        expect('"');
        std::string out;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size())
                break;
            c = text_[pos_++];
            switch (c) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::uint32_t code = 0;
                const auto* begin = text_.data() + pos_;
                const auto result = std::from_chars(
                    begin, begin + std::min<std::size_t>(4, text_.size() - pos_), code, 16);
                if (result.ptr != begin + 4)
                    unreadable(text_, "a \\u escape needs four hexadecimal digits");
                pos_ += 4;
                appendUtf8(out, code);
                break;
            }
            default:
                out += c;
            }
        }
        expect('"');
        return out;
    }

    bool atEnd() const { return pos_ == text_.size(); }
    bool at(char c) const { return pos_ < text_.size() && text_[pos_] == c; }
    std::size_t position() const { return pos_; }

    bool word(std::string_view w) {
        if (text_.substr(pos_, w.size()) != w)
            return false;
        const std::size_t end = pos_ + w.size();
        if (end < text_.size() && text_[end] != ',' && text_[end] != ']' && text_[end] != ')' &&
            text_[end] != ' ')
            return false;
        pos_ = end;
        return true;
    }

    void expect(char c) {
        if (!at(c))
            unreadable(text_, std::string("'") + c + "' expected at " + std::to_string(pos_ + 1));
        ++pos_;
    }

private:
    AutoValue number() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != ']' &&
               text_[pos_] != ')' && text_[pos_] != ' ')
            ++pos_;
        const std::string_view digits = text_.substr(start, pos_ - start);
        if (digits.empty())
            unreadable(text_, "a value expected at " + std::to_string(start + 1));
        // The same rule as describe: a Float always shows a point, an exponent, inf or nan.
        const bool isFloat = digits.find_first_of(".eni") != std::string_view::npos;
        if (isFloat) {
            double value = 0;
            const auto result =
                std::from_chars(digits.data(), digits.data() + digits.size(), value);
            if (result.ec != std::errc() || result.ptr != digits.data() + digits.size())
                unreadable(text_, "'" + std::string(digits) + "' is no number");
            return AutoValue::fromFloat(value);
        }
        std::int32_t value = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (result.ec != std::errc() || result.ptr != digits.data() + digits.size())
            unreadable(text_, "'" + std::string(digits) + "' is no 32-bit integer");
        return AutoValue::fromInt(value);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string quotedText(const std::string& text) {
    return AutoValue::fromText(text).describe();
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

int objectNumber(std::string_view text) {
    int number = 0;
    if (text.size() < 2 || text[0] != '#')
        unreadable(text, "an object number such as #1 expected");
    const auto result = std::from_chars(text.data() + 1, text.data() + text.size(), number);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || number <= 0)
        unreadable(text, "an object number such as #1 expected");
    return number;
}

// " -> #n", " -> error "..."" or " -> value" at the end of a call line.
void readOutcome(std::string_view outcome, ScriptCall& call) {
    if (startsWith(outcome, "error ")) {
        ValueReader reader(outcome.substr(6));
        call.failed = true;
        call.error = reader.quoted();
        if (!reader.atEnd())
            unreadable(outcome, "text after the error");
    } else if (startsWith(outcome, "#")) {
        call.resultObject = objectNumber(outcome);
    } else {
        call.result = ParseAutoValue(outcome);
    }
}

ScriptCall parseLine(std::string_view line) {
    ScriptCall call;
    if (startsWith(line, "doc ")) {
        call.kind = ScriptCall::Kind::Document;
        call.title = std::string(line.substr(4));
        return call;
    }
    if (startsWith(line, "create ")) {
        call.kind = ScriptCall::Kind::Create;
        const std::string_view rest = line.substr(7);
        if (startsWith(rest, "-> ")) {
            readOutcome(rest.substr(3), call);
            if (!call.failed)
                unreadable(line, "a creation without object must name its error");
        } else {
            call.object = objectNumber(rest);
        }
        return call;
    }
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos)
        unreadable(line, "an object and a member expected");
    call.object = objectNumber(line.substr(0, space));
    std::string_view rest = line.substr(space + 1);
    std::size_t nameEnd = 0;
    while (nameEnd < rest.size() && rest[nameEnd] != '(' && rest[nameEnd] != ' ')
        ++nameEnd;
    call.member = std::string(rest.substr(0, nameEnd));
    if (call.member.empty())
        unreadable(line, "a member name expected");
    rest = rest.substr(nameEnd);

    std::string_view outcome;
    if (startsWith(rest, " := ")) {
        call.kind = ScriptCall::Kind::Put;
        rest = rest.substr(4);
        const std::size_t arrow = rest.rfind(" -> error ");
        std::string_view value = rest;
        if (arrow != std::string_view::npos) {
            value = rest.substr(0, arrow);
            outcome = rest.substr(arrow + 4);
        }
        call.args.push_back(ParseAutoValue(value));
    } else {
        call.kind = ScriptCall::Kind::Invoke;
        ValueReader reader(rest);
        reader.expect('(');
        if (!reader.at(')')) {
            for (;;) {
                call.args.push_back(reader.value());
                if (reader.at(')'))
                    break;
                reader.expect(',');
            }
        }
        reader.expect(')');
        const std::string_view tail = rest.substr(reader.position());
        if (!startsWith(tail, " -> "))
            unreadable(line, "a call needs its result after ' -> '");
        outcome = tail.substr(4);
    }
    if (!outcome.empty())
        readOutcome(outcome, call);
    return call;
}

} // namespace

AutoValue ParseAutoValue(std::string_view text) {
    ValueReader reader(text);
    AutoValue value = reader.value();
    if (!reader.atEnd())
        unreadable(text, "text after the value");
    return value;
}

std::string FormatScriptCall(const ScriptCall& call) {
    switch (call.kind) {
    case ScriptCall::Kind::Document:
        return "doc " + call.title;
    case ScriptCall::Kind::Create:
        if (call.failed)
            return "create -> error " + quotedText(call.error);
        return "create #" + std::to_string(call.object);
    case ScriptCall::Kind::Put: {
        std::string line = "#" + std::to_string(call.object) + " " + call.member +
                           " := " + (call.args.empty() ? "Empty" : call.args[0].describe());
        if (call.failed)
            line += " -> error " + quotedText(call.error);
        return line;
    }
    case ScriptCall::Kind::Invoke: {
        std::string line = "#" + std::to_string(call.object) + " " + call.member + "(";
        for (std::size_t i = 0; i < call.args.size(); ++i) {
            if (i > 0)
                line += ',';
            line += call.args[i].describe();
        }
        line += ") -> ";
        if (call.failed)
            line += "error " + quotedText(call.error);
        else if (call.resultObject > 0)
            line += "#" + std::to_string(call.resultObject);
        else
            line += call.result.describe();
        return line;
    }
    }
    return {};
}

std::vector<ScriptCall> ParseCallScript(const std::string& text) {
    std::vector<ScriptCall> calls;
    std::size_t start = 0;
    int number = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        ++number;
        if (line.empty())
            continue;
        try {
            ScriptCall call = parseLine(line);
            call.line = number;
            calls.push_back(std::move(call));
        } catch (const CallScriptError& error) {
            throw CallScriptError("line " + std::to_string(number) + ": " + error.what());
        }
    }
    return calls;
}

// ---- recording ----

struct ScriptRecorder::State {
    std::vector<std::string> lines;
    int nextObject = 1;
};

namespace {

class ScriptingObject : public AutoObject {
public:
    ScriptingObject(AutoObjectPtr inner, std::shared_ptr<ScriptRecorder::State> state, int number)
        : inner_(std::move(inner)), state_(std::move(state)), number_(number) {}

    AutoValue invoke(const std::string& member, const std::vector<AutoValue>& args) override {
        ScriptCall call;
        call.kind = ScriptCall::Kind::Invoke;
        call.object = number_;
        call.member = member;
        call.args = args;
        AutoValue result;
        try {
            result = inner_->invoke(member, args);
        } catch (const AutomationError& error) {
            call.failed = true;
            call.error = error.what();
            state_->lines.push_back(FormatScriptCall(call));
            throw;
        }
        if (result.isObject()) {
            call.resultObject = state_->nextObject++;
            state_->lines.push_back(FormatScriptCall(call));
            return AutoValue::fromObject(
                std::make_shared<ScriptingObject>(result.asObject(), state_, call.resultObject));
        }
        call.result = result;
        state_->lines.push_back(FormatScriptCall(call));
        return result;
    }

    void put(const std::string& property, const AutoValue& value) override {
        ScriptCall call;
        call.kind = ScriptCall::Kind::Put;
        call.object = number_;
        call.member = property;
        call.args = {value};
        try {
            inner_->put(property, value);
        } catch (const AutomationError& error) {
            call.failed = true;
            call.error = error.what();
            state_->lines.push_back(FormatScriptCall(call));
            throw;
        }
        state_->lines.push_back(FormatScriptCall(call));
    }

private:
    AutoObjectPtr inner_;
    std::shared_ptr<ScriptRecorder::State> state_;
    int number_;
};

} // namespace

ScriptRecorder::ScriptRecorder() : state_(std::make_shared<State>()) {}

void ScriptRecorder::beginDocument(const std::string& title) {
    ScriptCall call;
    call.kind = ScriptCall::Kind::Document;
    call.title = title;
    state_->lines.push_back(FormatScriptCall(call));
}

AutoObjectPtr ScriptRecorder::create(const std::function<AutoObjectPtr()>& factory) {
    ScriptCall call;
    call.kind = ScriptCall::Kind::Create;
    AutoObjectPtr object;
    try {
        object = factory();
    } catch (const AutomationError& error) {
        call.failed = true;
        call.error = error.what();
        state_->lines.push_back(FormatScriptCall(call));
        throw;
    }
    call.object = state_->nextObject++;
    state_->lines.push_back(FormatScriptCall(call));
    return std::make_shared<ScriptingObject>(std::move(object), state_, call.object);
}

const std::vector<std::string>& ScriptRecorder::lines() const {
    return state_->lines;
}

std::string ScriptRecorder::text() const {
    std::string out;
    for (const std::string& line : state_->lines)
        out += line + "\n";
    return out;
}

// ---- replay ----

namespace {

// The outcome of one call made during the replay, written like the script writes it.
std::string outcomeText(const ScriptCall& call) {
    if (call.failed)
        return "error " + quotedText(call.error);
    if (call.kind == ScriptCall::Kind::Put)
        return "no error";
    if (call.kind == ScriptCall::Kind::Create || call.resultObject > 0)
        return "an object";
    return call.result.describe();
}

class Replay {
public:
    Replay(const std::vector<ScriptCall>& script, const std::function<AutoObjectPtr()>& create,
           const std::function<void(const std::string&)>& beginDocument)
        : script_(script), create_(create), beginDocument_(beginDocument),
          releases_(script.size()) {
        // Walking back through the script, an object's first sighting is its last use.
        std::vector<int> seen;
        for (std::size_t i = script_.size(); i-- > 0;) {
            const ScriptCall& call = script_[i];
            if (call.kind == ScriptCall::Kind::Document)
                continue;
            for (const int number : {call.object, call.resultObject}) {
                if (number > 0 && std::find(seen.begin(), seen.end(), number) == seen.end()) {
                    seen.push_back(number);
                    releases_[i].push_back(number);
                }
            }
        }
    }

    std::vector<std::string> run() {
        bool skipping = false;
        for (std::size_t i = 0; i < script_.size(); ++i) {
            const ScriptCall& call = script_[i];
            if (call.kind == ScriptCall::Kind::Document) {
                title_ = call.title;
                skipping = false;
                if (beginDocument_)
                    beginDocument_(title_);
                continue;
            }
            if (skipping)
                continue;
            if (!replay(call)) {
                skipping = true;
                continue;
            }
            releaseAfter(i);
        }
        objects_.clear();
        return problems_;
    }

private:
    // Makes one call; false when it came out otherwise than the script says.
    bool replay(const ScriptCall& expected) {
        ScriptCall actual = expected;
        actual.failed = false;
        actual.error.clear();
        actual.result = AutoValue();
        actual.resultObject = 0;
        AutoObjectPtr made;
        try {
            switch (expected.kind) {
            case ScriptCall::Kind::Create:
                made = create_();
                break;
            case ScriptCall::Kind::Invoke: {
                AutoValue result = object(expected)->invoke(expected.member, expected.args);
                if (result.isObject()) {
                    made = result.asObject();
                    actual.resultObject = expected.resultObject > 0 ? expected.resultObject : -1;
                } else {
                    actual.result = std::move(result);
                }
                break;
            }
            case ScriptCall::Kind::Put:
                object(expected)->put(expected.member,
                                      expected.args.empty() ? AutoValue() : expected.args[0]);
                break;
            case ScriptCall::Kind::Document:
                break;
            }
        } catch (const AutomationError& error) {
            actual.failed = true;
            actual.error = error.what();
        } catch (const CallScriptError& error) {
            problems_.push_back(title_ + ": " + error.what());
            return false;
        }
        const bool same = actual.failed == expected.failed && actual.error == expected.error &&
                          actual.resultObject == expected.resultObject &&
                          actual.result == expected.result;
        if (!same) {
            problems_.push_back(title_ + ": line " + std::to_string(expected.line) + ": " +
                                FormatScriptCall(expected) + ": came out as " +
                                outcomeText(actual));
            return false;
        }
        if (made) {
            const int number =
                expected.kind == ScriptCall::Kind::Create ? expected.object : expected.resultObject;
            objects_[number] = std::move(made);
        }
        return true;
    }

    const AutoObjectPtr& object(const ScriptCall& call) {
        const auto found = objects_.find(call.object);
        if (found == objects_.end())
            throw CallScriptError("line " + std::to_string(call.line) + ": object #" +
                                  std::to_string(call.object) + " is not known here");
        return found->second;
    }

    void releaseAfter(std::size_t index) {
        for (const int number : releases_[index])
            objects_.erase(number);
    }

    const std::vector<ScriptCall>& script_;
    const std::function<AutoObjectPtr()>& create_;
    const std::function<void(const std::string&)>& beginDocument_;
    std::vector<std::vector<int>> releases_; // the objects done with after each line
    std::map<int, AutoObjectPtr> objects_;
    std::vector<std::string> problems_;
    std::string title_ = "(before the first document)";
};

} // namespace

std::vector<std::string>
ReplayCallScript(const std::vector<ScriptCall>& script,
                 const std::function<AutoObjectPtr()>& create,
                 const std::function<void(const std::string&)>& beginDocument) {
    return Replay(script, create, beginDocument).run();
}
