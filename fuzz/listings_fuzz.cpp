// Reading a page's listings, as a later run reads an earlier result page it did not write
// itself. The first byte picks where the page is cut in two and the row bound; the rest is
// the page. Whole and in two pieces, the page must read the same, and every identity must be
// normalised text within the bound.
#include "fuzz/fuzz_support.h"
#include "listing_identity.h"

#include <cstddef>
#include <cstdint>

namespace {

bool IsNormalised(const std::string& identity, std::size_t rowBytes)
{
    if (identity.empty() || identity.size() > rowBytes || identity.front() == ' ' ||
        identity.back() == ' ' || identity.find("  ") != std::string::npos)
        return false;
    for (char c : identity) {
        if (c == '\0' || c == '\t' || c == '\n' || c == '\r' || c == '\f')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view page(reinterpret_cast<const char*>(data) + 1, size - 1);
    const medora::ScanLimits limits{.pageBytes = 8192, .rowBytes = std::size_t{16} + data[0] % 64U};
    const std::size_t cut = page.empty() ? 0 : data[0] % (page.size() + 1);

    const medora::ListingScan whole = medora::ScanListings(page, limits);
    medora::ListingScanner scanner(limits);
    scanner.Feed(page.substr(0, cut));
    scanner.Feed(page.substr(cut));
    const medora::ListingScan pieces = scanner.Finish();

    FUZZ_CHECK(whole.fault == pieces.fault);
    FUZZ_CHECK(whole.identities == pieces.identities);
    FUZZ_CHECK(whole.fault == medora::ScanFault::none || whole.identities.empty());
    FUZZ_CHECK(whole.fault != medora::ScanFault::tooLarge || page.size() > limits.pageBytes);
    for (const std::string& identity : whole.identities)
        FUZZ_CHECK(IsNormalised(identity, limits.rowBytes));
    return 0;
}
