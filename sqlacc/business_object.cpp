#include "sqlacc/business_object.h"

BusinessObject::BusinessObject(const AutoObjectPtr& bizApp, const std::string& name)
    : object_(findBizObject(bizApp, name)) {}

BusinessObject::~BusinessObject() {
    if (closed_)
        return;
    try {
        object_->invoke("Close");
    } catch (...) {
    }
}

void BusinessObject::close() {
    if (closed_)
        return;
    closed_ = true;
    object_->invoke("Close");
}
