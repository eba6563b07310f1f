#pragma once

// The Windows adapter of the automation interface: the accounting package's COM objects called
// through IDispatch. Compiled on Windows only.

#include "sqlacc/automation.h"

#include <memory>
#include <string>
#include <unordered_map>

struct IDispatch;

// COM initialised for the calling thread as a single-threaded apartment: the package is called
// from the user-interface thread only.
class ComApartment {
public:
    // The calling thread's apartment, initialised on first use. The thread holds it until it
    // ends, and every ComObject created in it holds it too, so COM is uninitialised only after
    // the last of the thread's objects has been released.
    static std::shared_ptr<ComApartment> forThisThread();

    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_ = false;
};

// One COM object of the package, called by member name.
class ComObject : public AutoObject {
public:
    // Takes over one reference to dispatch, released when the object goes.
    ComObject(IDispatch* dispatch, std::shared_ptr<ComApartment> apartment) noexcept;
    ~ComObject() override;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    AutoValue invoke(const std::string& member, const std::vector<AutoValue>& args = {}) override;
    void put(const std::string& property, const AutoValue& value) override;

    IDispatch* dispatch() const { return dispatch_; }

private:
    long dispatchId(const std::string& member);

    std::shared_ptr<ComApartment> apartment_;
    IDispatch* dispatch_;
    // Dispatch ids by lower-case member name: the same members are called for every field.
    std::unordered_map<std::string, long> ids_;
};

// A new instance of the class registered under progId, asked for its IDispatch interface.
// Throws AutomationError when the class is not registered or cannot be created.
AutoObjectPtr CreateComObject(const std::string& progId);
