#include "sqlacc/call_recorder.h"

#include <utility>

using recorder_detail::Kind;
using recorder_detail::Place;

namespace recorder_detail {

struct PackageState {
    struct Key {
        std::string bizObject;
        std::string ref;
        AutoValue key;
    };
    struct LocateResult {
        std::vector<std::string> values;
        bool found;
    };
    struct Fault {
        std::string member;
        int nth;
        std::string text;
        int seen = 0;
    };

    struct ReadValue {
        std::string bizObject;
        std::string field;
        AutoValue value;
    };

    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    bool isLogin = false;
    AutoValue buildNo;
    std::vector<ReadValue> readValues;
    std::vector<Key> keys;
    std::vector<LocateResult> locateResults;
    std::vector<Fault> faults;
};

} // namespace recorder_detail

using recorder_detail::PackageState;

namespace {

bool isCollection(const std::string& member) {
    return SameMemberName(member, "BizObjects") || SameMemberName(member, "RptObjects") ||
           SameMemberName(member, "DataSets") || SameMemberName(member, "Params");
}

bool isFieldRead(const std::string& member) {
    return SameMemberName(member, "Value") || SameMemberName(member, "AsString") ||
           SameMemberName(member, "AsFloat");
}

// Calls that only name the next object; see the log format in the header.
bool isNavigation(const Place& place, const std::string& member,
                  const std::vector<AutoValue>& args) {
    if (args.empty())
        return isCollection(member);
    if (args.size() != 1)
        return false;
    return SameMemberName(member, "FindField") ||
           (place.kind == Kind::Params && SameMemberName(member, "Find"));
}

// Text arguments name objects without their quotes.
std::string nameOf(const AutoValue& value) {
    return value.isText() ? value.asText() : value.describe();
}

std::string joined(const std::vector<AutoValue>& args) {
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            out += ',';
        out += args[i].describe();
    }
    return out;
}

std::string callLine(const Place& place, const std::string& member,
                     const std::vector<AutoValue>& args) {
    std::string line = place.path + "." + member;
    if (!args.empty())
        line += "(" + joined(args) + ")";
    return line;
}

std::string putLine(const Place& place, const std::string& property, const AutoValue& value) {
    if (place.kind == Kind::Value && SameMemberName(property, "value"))
        return place.path + " := " + value.describe();
    return place.path + "." + property + " := " + value.describe();
}

// The place of the object that member(args) returns. Paths are built only while recording.
Place childPlace(const Place& parent, const std::string& member, const std::vector<AutoValue>& args,
                 bool recording) {
    Place child;
    child.kind = Kind::Other;
    child.bizObject = parent.bizObject;
    const bool named = args.size() == 1;
    // Objects reached from the application object are named from there.
    const std::string prefix =
        !recording || parent.kind == Kind::Root ? std::string() : parent.path + ".";

    if (args.empty() &&
        (SameMemberName(member, "BizObjects") || SameMemberName(member, "RptObjects"))) {
        child.kind = Kind::BizObjects;
    } else if (args.empty() && SameMemberName(member, "DataSets")) {
        child.kind = Kind::DataSets;
    } else if (args.empty() && SameMemberName(member, "Params")) {
        child.kind = Kind::Params;
    } else if (named && parent.kind == Kind::BizObjects && SameMemberName(member, "Find")) {
        child.bizObject = nameOf(args[0]);
        if (recording)
            child.path = child.bizObject;
        return child;
    } else if (named && parent.kind == Kind::DataSets && SameMemberName(member, "Find")) {
        // A dataset hangs under its business object, not under the DataSets collection.
        if (recording) {
            const auto dot = parent.path.rfind('.');
            child.path =
                (dot == std::string::npos ? std::string() : parent.path.substr(0, dot + 1)) +
                nameOf(args[0]);
        }
        return child;
    } else if (named && (SameMemberName(member, "FindField") ||
                         (parent.kind == Kind::Params && SameMemberName(member, "Find")))) {
        child.kind = Kind::Value;
        child.field = nameOf(args[0]);
        if (recording)
            child.path = prefix + nameOf(args[0]);
        return child;
    } else if (named && SameMemberName(member, "Find")) {
        if (recording)
            child.path = prefix + nameOf(args[0]);
        return child;
    }
    if (recording)
        child.path = prefix + member;
    return child;
}

bool returnsObject(const std::string& member, const std::vector<AutoValue>& args) {
    return (args.empty() && isCollection(member)) ||
           (args.size() == 1 &&
            (SameMemberName(member, "Find") || SameMemberName(member, "FindField")));
}

// Logs a call, or a write when value is given, before it is made. Folded navigation is logged
// only by logFailure.
void logCall(CallLog& log, const Place& place, const std::string& member,
             const std::vector<AutoValue>& args) {
    log.countCall();
    if (log.recording() && !isNavigation(place, member, args))
        log.add(callLine(place, member, args));
}

void logFailure(CallLog& log, const Place& place, const std::string& member,
                const std::vector<AutoValue>& args) {
    if (log.recording() && isNavigation(place, member, args))
        log.add(callLine(place, member, args));
}

void logPut(CallLog& log, const Place& place, const std::string& property, const AutoValue& value) {
    log.countCall();
    if (log.recording())
        log.add(putLine(place, property, value));
}

AutoValue packageCall(const std::shared_ptr<PackageState>& state, const Place& place,
                      const std::string& member, const std::vector<AutoValue>& args);

// An object handed out by the recording package.
class PackageObject : public AutoObject {
public:
    PackageObject(std::shared_ptr<PackageState> state, Place place)
        : state_(std::move(state)), place_(std::move(place)) {}

    AutoValue invoke(const std::string& member, const std::vector<AutoValue>& args = {}) override {
        return packageCall(state_, place_, member, args);
    }
    void put(const std::string& property, const AutoValue& value) override {
        logPut(*state_->log, place_, property, value);
    }

private:
    std::shared_ptr<PackageState> state_;
    Place place_;
};

AutoValue packageAnswer(const std::shared_ptr<PackageState>& state, const Place& place,
                        const std::string& member, const std::vector<AutoValue>& args) {
    if (SameMemberName(member, "IsLogin"))
        return state->isLogin;
    if (place.kind == Kind::Root && SameMemberName(member, "BuildNo"))
        return state->buildNo;
    if (place.kind == Kind::Value && args.empty() && isFieldRead(member)) {
        for (const PackageState::ReadValue& read : state->readValues) {
            if (SameMemberName(read.bizObject, place.bizObject) &&
                SameMemberName(read.field, place.field))
                return read.value;
        }
        return {};
    }
    if (SameMemberName(member, "FindKeyByRef")) {
        if (args.size() >= 2) {
            const std::string ref = nameOf(args[1]);
            for (const PackageState::Key& key : state->keys) {
                if (key.ref == ref && SameMemberName(key.bizObject, place.bizObject))
                    return key.key;
            }
        }
        return AutoValue::null();
    }
    if (SameMemberName(member, "Locate")) {
        if (args.size() >= 2 && args[1].isArray()) {
            std::vector<std::string> values;
            for (const AutoValue& value : args[1].asArray())
                values.push_back(nameOf(value));
            for (const PackageState::LocateResult& result : state->locateResults) {
                if (result.values == values)
                    return result.found;
            }
        }
        return false;
    }
    if (returnsObject(member, args)) {
        return AutoValue::fromObject(std::make_shared<PackageObject>(
            state, childPlace(place, member, args, state->log->recording())));
    }
    return {};
}

AutoValue packageCall(const std::shared_ptr<PackageState>& state, const Place& place,
                      const std::string& member, const std::vector<AutoValue>& args) {
    CallLog& log = *state->log;
    logCall(log, place, member, args);
    for (PackageState::Fault& fault : state->faults) {
        if (SameMemberName(fault.member, member) && ++fault.seen == fault.nth) {
            logFailure(log, place, member, args);
            throw AutomationError(fault.text);
        }
    }
    return packageAnswer(state, place, member, args);
}

Place rootPlace(std::string name) {
    Place place;
    place.kind = Kind::Root;
    place.path = std::move(name);
    return place;
}

} // namespace

std::string CallLog::text() const {
    std::string out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0)
            out += '\n';
        out += lines_[i];
    }
    return out;
}

void CallLog::clear() {
    lines_.clear();
    callCount_ = 0;
}

RecordingPackage::RecordingPackage(bool recording) : state_(std::make_shared<PackageState>()) {
    state_->log->setRecording(recording);
}

AutoValue RecordingPackage::invoke(const std::string& member, const std::vector<AutoValue>& args) {
    static const Place root = rootPlace("BizApp");
    return packageCall(state_, root, member, args);
}

void RecordingPackage::put(const std::string& property, const AutoValue& value) {
    static const Place root = rootPlace("BizApp");
    logPut(*state_->log, root, property, value);
}

CallLog& RecordingPackage::log() {
    return *state_->log;
}

std::shared_ptr<CallLog> RecordingPackage::sharedLog() const {
    return state_->log;
}

void RecordingPackage::setIsLogin(bool loggedIn) {
    state_->isLogin = loggedIn;
}

void RecordingPackage::setBuildNo(const AutoValue& build) {
    state_->buildNo = build;
}

void RecordingPackage::setReadValue(const std::string& bizObject, const std::string& field,
                                    const AutoValue& value) {
    for (PackageState::ReadValue& entry : state_->readValues) {
        if (SameMemberName(entry.bizObject, bizObject) && SameMemberName(entry.field, field)) {
            entry.value = value;
            return;
        }
    }
    state_->readValues.push_back({bizObject, field, value});
}

void RecordingPackage::setKey(const std::string& bizObject, const std::string& ref,
                              const AutoValue& key) {
    for (PackageState::Key& entry : state_->keys) {
        if (entry.ref == ref && SameMemberName(entry.bizObject, bizObject)) {
            entry.key = key;
            return;
        }
    }
    state_->keys.push_back({bizObject, ref, key});
}

void RecordingPackage::setLocateResult(const std::vector<std::string>& values, bool found) {
    for (PackageState::LocateResult& entry : state_->locateResults) {
        if (entry.values == values) {
            entry.found = found;
            return;
        }
    }
    state_->locateResults.push_back({values, found});
}

void RecordingPackage::failCall(const std::string& member, int nth, const std::string& text) {
    state_->faults.push_back({member, nth, text});
}

RecordingObject::RecordingObject(AutoObjectPtr inner, std::shared_ptr<CallLog> log,
                                 std::string name)
    : RecordingObject(std::move(inner), std::move(log), rootPlace(std::move(name))) {}

RecordingObject::RecordingObject(AutoObjectPtr inner, std::shared_ptr<CallLog> log, Place place)
    : inner_(std::move(inner)), log_(std::move(log)), place_(std::move(place)) {
    if (!inner_)
        throw AutomationError("No automation object to record");
}

AutoValue RecordingObject::invoke(const std::string& member, const std::vector<AutoValue>& args) {
    logCall(*log_, place_, member, args);
    AutoValue result;
    try {
        result = inner_->invoke(member, args);
    } catch (...) {
        logFailure(*log_, place_, member, args);
        throw;
    }
    if (!result.isObject())
        return result;
    return AutoValue::fromObject(std::make_shared<RecordingObject>(
        result.asObject(), log_, childPlace(place_, member, args, log_->recording())));
}

void RecordingObject::put(const std::string& property, const AutoValue& value) {
    logPut(*log_, place_, property, value);
    inner_->put(property, value);
}
