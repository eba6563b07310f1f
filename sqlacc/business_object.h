#pragma once

#include "sqlacc/automation.h"

#include <string>

// A business object taken for one document (or one master record): closed when the document is
// done, as the package asks before the next one, and also when an error ends the document, so
// that no half-made record stays open in the package.
class BusinessObject {
public:
    // bizApp.BizObjects.Find(name).
    BusinessObject(const AutoObjectPtr& bizApp, const std::string& name);
    // Closes it when close() was not called.
    ~BusinessObject();
    BusinessObject(const BusinessObject&) = delete;
    BusinessObject& operator=(const BusinessObject&) = delete;

    const AutoObjectPtr& get() const { return object_; }
    const AutoObjectPtr& operator->() const { return object_; }
    operator const AutoObjectPtr&() const { return object_; }

    // Close on the object. Later calls do nothing until reuse(). An error of Close is dropped:
    // after a save the record is in the package whatever Close says, and after an error the
    // error that ended the document is the one to report.
    void close();
    // For an object that serves several records one after another (the masters): it holds a
    // record again, to be closed like the first.
    void reuse() { closed_ = false; }

private:
    AutoObjectPtr object_;
    bool closed_ = false;
};
