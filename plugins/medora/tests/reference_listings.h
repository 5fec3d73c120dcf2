#pragma once

#include "plugins/medora/listing_identity.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The listings of a page read the plainest way: one byte at a time through a small state
// machine, with no runs skipped and no tag read at once. The scanner must read every page
// as this does.
namespace medora_test {

struct ReferenceRow
{
    std::string identity; // empty when counting only
    std::size_t tagStart = 0;
    std::size_t tagEnd = 0;

    bool operator==(const ReferenceRow&) const = default;
};

inline void PrintTo(const ReferenceRow& row, std::ostream* os)
{
    *os << '"' << row.identity << "\" at " << row.tagStart << '-' << row.tagEnd;
}

struct ReferenceReading
{
    std::vector<ReferenceRow> rows; // in page order; empty when there is a fault
    medora::ScanFault fault = medora::ScanFault::none;
};

// countOnly reads as a scanner without wantsIdentity does: no identities, no row bound.
ReferenceReading ReadReference(std::string_view page, medora::ScanLimits limits, bool countOnly);

} // namespace medora_test
