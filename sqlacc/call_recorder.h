#pragma once

// Recording automation objects: a scriptable stand-in for the accounting package that accepts
// every call, and a wrapper that logs the calls made on a real package. Both write one log
// format, so a test can compare the call order of a routine against what the package expects.
//
// Log format: one line per call, each object named by the path that reached it.
//   BizApp.IsLogin                                  a call without arguments
//   BizApp.Login("ADMIN","ADMIN","x.dcf","ACC-0001.FDB")
//   BizObjects.Find("SL_CS")                        objects reached from BizApp drop "BizApp."
//   SL_CS.DataSets.Find("MainDataSet")              a business object is named by its name
//   SL_CS.New
//   SL_CS.MainDataSet.DOCKEY := "-1"                FindField("DOCKEY") and a write of value
//   SL_CS.cdsDocDetail.Qty := 3                     Int; a Float reads 12.5 or 3.0
//   SL_CS.FindKeyByRef("DOCNO","X1")
//   SL_CS.Params.DocKey := "12"                     Params.Find("DocKey") and a write of Value
//   SL_CS.cdsKnockOff.Locate("DocType;DocNo",["IV","X1"],false,false)
//   SL_CS.MainDataSet.Caption := "x"                a write of any other property
// Arguments are written by AutoValue::describe and joined by "," without spaces; member names
// as the caller spelled them.
// Navigation that only names the next object is folded into that object's path and is no line
// of its own: the reads of BizObjects, DataSets and Params, and the lookups FindField and
// Params.Find. Should such a call fail, it is logged in full (SL_CS.MainDataSet.FindField("X")).
// A call is logged before it is carried out, so a failing call is the log's last line.

#include "sqlacc/automation.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The lines written by the recording objects of one package. With recording off nothing is
// written and no line is built, but calls are still counted. Objects handed out while recording
// is off carry no path, so switch it on before the run that is to be read.
class CallLog {
public:
    bool recording() const { return recording_; }
    void setRecording(bool on) { recording_ = on; }

    const std::vector<std::string>& lines() const { return lines_; }
    // The lines joined by "\n".
    std::string text() const;
    // Member calls and property writes seen, also while not recording.
    std::size_t callCount() const { return callCount_; }
    void clear();

    void add(std::string line) { lines_.push_back(std::move(line)); }
    void countCall() { ++callCount_; }

private:
    bool recording_ = true;
    std::vector<std::string> lines_;
    std::size_t callCount_ = 0;
};

namespace recorder_detail {
// Where an object sits in the log's path scheme.
enum class Kind { Root, BizObjects, DataSets, Params, Value, Other };
struct Place {
    Kind kind = Kind::Root;
    std::string path;      // empty while not recording
    std::string bizObject; // the business object (or report object) the object belongs to
    std::string field;     // a field's name (Kind::Value)
};
struct PackageState;
} // namespace recorder_detail

// An accounting package that accepts every call and records it. It is the BizApp object; every
// object it hands out records into the same log.
// Answers: IsLogin as scripted (false until set; Login does not change it); BuildNo as scripted
// (Empty until set); FindKeyByRef the key scripted for the business object and value (an array
// of values reads as its describe() text, ["X1","V-1"]), otherwise Null; Locate true or false as
// scripted for its values, otherwise false; a read of a field (Value, AsString, AsFloat) what is
// scripted for the business object and field, otherwise Empty; BizObjects, RptObjects, DataSets,
// Params, Find and FindField a new object; every other call Empty. Names of members and business
// objects match case-insensitively.
class RecordingPackage : public AutoObject {
public:
    explicit RecordingPackage(bool recording = true);

    AutoValue invoke(const std::string& member, const std::vector<AutoValue>& args = {}) override;
    void put(const std::string& property, const AutoValue& value) override;

    CallLog& log();
    std::shared_ptr<CallLog> sharedLog() const;

    void setIsLogin(bool loggedIn);
    void setBuildNo(const AutoValue& build);
    // What reading the field of a dataset of bizObject (or of a report object, such as
    // "Common.Agent.RO") answers.
    void setReadValue(const std::string& bizObject, const std::string& field,
                      const AutoValue& value);
    // What FindKeyByRef answers on the business object bizObject for the value ref (compared as
    // text, exactly), whatever the key field.
    void setKey(const std::string& bizObject, const std::string& ref, const AutoValue& key);
    // What Locate answers when its values (compared as text, in order) are these.
    void setLocateResult(const std::vector<std::string>& values, bool found);
    // The nth call (from 1) of member from now on, on any object of the package, is logged and
    // then throws AutomationError with text instead of being carried out. Several faults may be
    // set, also for one member; each counts on its own.
    void failCall(const std::string& member, int nth, const std::string& text);

private:
    std::shared_ptr<recorder_detail::PackageState> state_;
};

// Forwards every call to a real automation object and logs it first, in the log format above.
// Objects returned by the wrapped object come back wrapped, logging into the same log; results
// and errors pass through unchanged.
class RecordingObject : public AutoObject {
public:
    // name is the path of the wrapped object in the log: "BizApp" for the application object.
    RecordingObject(AutoObjectPtr inner, std::shared_ptr<CallLog> log, std::string name = "BizApp");
    RecordingObject(AutoObjectPtr inner, std::shared_ptr<CallLog> log,
                    recorder_detail::Place place);

    AutoValue invoke(const std::string& member, const std::vector<AutoValue>& args = {}) override;
    void put(const std::string& property, const AutoValue& value) override;

    CallLog& log() { return *log_; }

private:
    AutoObjectPtr inner_;
    std::shared_ptr<CallLog> log_;
    recorder_detail::Place place_;
};
