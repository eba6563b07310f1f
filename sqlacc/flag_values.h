#pragma once

#include "sqlacc/automation.h"
#include "sqlacc/package_build.h"

#include <string_view>

// A true/false field of the package (TaxInclusive, KnockOff, Cancelled, IsActive, StockControl,
// IsBase, ...) in the form the logged-in build takes: Boolean True/False from build 860 on;
// before it the integer 1/0 for TaxInclusive and IsBase and the text "T"/"F" for the others.
// Field names match in any letter case.
AutoValue FlagValue(const PackageBuild& build, std::string_view field, bool value);

// True for the fields that took 1/0 rather than "T"/"F" before build 860.
bool FlagTakesOneZero(std::string_view field);
