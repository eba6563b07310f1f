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

// How ComObject finds the dispatch id of a member name.
enum class DispatchIdSharing {
    // Each object looks up each name once, on its first call of that member.
    PerObject,
    // Objects of one kind also share the ids they looked up, so that a fresh field object from
    // FindField is written with one call instead of two (see DispatchKind in the source).
    PerKind,
};

struct DispatchKind;

// One COM object of the package, called by member name.
class ComObject : public AutoObject {
public:
    // Takes over one reference to dispatch, released when the object goes. Objects of one kind
    // share kind (none: the object keeps its ids to itself).
    ComObject(IDispatch* dispatch, std::shared_ptr<ComApartment> apartment,
              std::shared_ptr<DispatchKind> kind = nullptr) noexcept;
    ~ComObject() override;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    AutoValue invoke(const std::string& member, const std::vector<AutoValue>& args = {}) override;
    void put(const std::string& property, const AutoValue& value) override;

    IDispatch* dispatch() const { return dispatch_; }

private:
    template <class Call> long callMember(const std::string& member, Call&& call);
    long lookUp(const std::string& member, const std::string& key);
    bool inThisApartment();

    std::shared_ptr<ComApartment> apartment_;
    IDispatch* dispatch_;
    std::shared_ptr<DispatchKind> kind_;
    // Dispatch ids by lower-case member name.
    std::unordered_map<std::string, long> ids_;
    // Whether dispatch_ is the object itself rather than a proxy: unknown (-1), no, yes.
    int direct_ = -1;
};

// A new instance of the class registered under progId, asked for its IDispatch interface.
// Throws AutomationError when the class is not registered or cannot be created.
AutoObjectPtr CreateComObject(const std::string& progId,
                              DispatchIdSharing sharing = DispatchIdSharing::PerKind);
