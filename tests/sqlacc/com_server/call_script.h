#pragma once

// A call script: the member calls that posting routines made on the accounting package, one line
// a call, recorded on one platform and replayed through another automation adapter. Standard C++
// only, so the Windows replay program builds it too.
//
//   doc SL_CS by item               a document begins
//   create #1                       the application object was created and is named #1
//   create -> error "text"          creating it failed with this text
//   #1 IsLogin() -> false           a call with its arguments and its result
//   #2 Find("SL_CS") -> #3          a result that is an object names it
//   #6 value := "-1"                a property write
//   #1 Login("U","X","a","b") -> error "text"     a call (or write) that failed with this text
// Objects are numbered in the order they appear, through the whole script: a document may call
// objects of an earlier one, as the documents of one run share the package's application object,
// created and logged in once. Values are written by AutoValue::describe and read back by
// ParseAutoValue.

#include "sqlacc/automation.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct ScriptCall {
    enum class Kind { Document, Create, Invoke, Put };
    Kind kind = Kind::Invoke;
    std::string title;           // Document
    int object = 0;              // Invoke, Put: the object called; Create: the object made
    std::string member;          // Invoke, Put
    std::vector<AutoValue> args; // Invoke: the arguments; Put: the one value written
    AutoValue result;            // Invoke: the result when it is no object
    int resultObject = 0;        // Invoke: the number of the object returned, 0 for none
    bool failed = false;         // the call raised error
    std::string error;
    int line = 0; // where it stands in the script, from 1
};

class CallScriptError : public std::runtime_error {
public:
    explicit CallScriptError(const std::string& message) : std::runtime_error(message) {}
};

// One value in the notation of AutoValue::describe; Object is refused, as objects are named by
// number. Throws CallScriptError.
AutoValue ParseAutoValue(std::string_view text);

std::string FormatScriptCall(const ScriptCall& call);
// Throws CallScriptError naming the line that does not read.
std::vector<ScriptCall> ParseCallScript(const std::string& text);

// Records calls into a script: the objects it creates, and every object they hand out, write
// their calls, arguments, results and errors as they pass through.
class ScriptRecorder {
public:
    ScriptRecorder();

    void beginDocument(const std::string& title);
    // Calls factory and records the creation (or its error, which is passed on).
    AutoObjectPtr create(const std::function<AutoObjectPtr()>& factory);

    const std::vector<std::string>& lines() const;
    std::string text() const; // the lines, each ended by "\n"

    struct State;

private:
    std::shared_ptr<State> state_;
};

// Replays a script: creates the application object with create wherever the script does, makes
// every call on the object the script names, and holds each result and error against the
// script's. An object is released after its last use in the script, as a posting routine lets go
// of a field once it is written. beginDocument is told each document title before its first
// call. Returns one text per difference ("<title>: line <n>: ..."); a call that differs ends its
// document, as the calls after it no longer mean what they did, and so does a call on an object
// that a failed call never made.
std::vector<std::string>
ReplayCallScript(const std::vector<ScriptCall>& script,
                 const std::function<AutoObjectPtr()>& create,
                 const std::function<void(const std::string&)>& beginDocument = {});
