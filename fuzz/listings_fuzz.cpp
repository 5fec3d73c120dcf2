// Reading a page's listings, as a later run reads an earlier result page it did not write
// itself. The first byte picks where the page is cut in two and the row bound; the rest is
// the page. Whole and in two pieces, the page must read the same, and every identity must be
// normalised text within the bound. The scanner, reading for identities and counting only,
// must tell the same rows at the same tags as the byte-by-byte reference reading.
#include "fuzz/fuzz_support.h"
#include "listing_identity.h"
#include "plugins/medora/tests/reference_listings.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

class RowCollector : public medora::ListingObserver
{
public:
    std::vector<medora_test::ReferenceRow> rows;

private:
    void ListingEnded(std::string_view identity, std::size_t tagStart, std::size_t tagEnd) override
    {
        rows.push_back({std::string(identity), tagStart, tagEnd});
    }
};

// As the reference reads the page, the scanner fed in two pieces.
bool ReadsAsReference(std::string_view page, std::size_t cut, medora::ScanLimits limits,
                      bool countOnly)
{
    const medora_test::ReferenceReading reference =
        medora_test::ReadReference(page, limits, countOnly);
    RowCollector collector;
    medora::ListingScanner scanner(limits);
    scanner.SetObserver(&collector, !countOnly);
    scanner.Feed(page.substr(0, cut));
    scanner.Feed(page.substr(cut));
    const medora::ScanFault fault = scanner.Finish().fault;
    return fault == reference.fault &&
           (fault != medora::ScanFault::none || collector.rows == reference.rows);
}

bool IsNormalised(std::string_view identity, std::size_t rowBytes)
{
    if (identity.empty() || identity.size() > rowBytes || identity.front() == ' ' ||
        identity.back() == ' ' || identity.find("  ") != std::string_view::npos)
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
    FUZZ_CHECK(ReadsAsReference(page, cut, limits, false));
    FUZZ_CHECK(ReadsAsReference(page, cut, limits, true));
    for (const std::string_view identity : whole.identities)
        FUZZ_CHECK(IsNormalised(identity, limits.rowBytes));
    return 0;
}
