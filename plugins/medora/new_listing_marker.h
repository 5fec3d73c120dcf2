#pragma once

#include "listing_identity.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Marks the listings of a merge that its earlier result page did not have, and counts each
// page's listings. A new listing's row gets the class "new-listing"; its text stays as it was,
// so the next merge reads the same identity from it (the badge is the template's style).
namespace medora {

inline constexpr std::string_view kNewListingClass = "new-listing";

// One page file's share of the merged page. newListings is -1 when nothing was compared.
struct PageCount
{
    std::int32_t listings = 0;
    std::int32_t newListings = -1;

    bool operator==(const PageCount&) const = default;
};

// The tag (from '<' to '>') with className added to its class attribute, which it gets when
// it has none. A value written without quotes is quoted with a quote it does not hold; one
// that holds both cannot be, and the tag comes back as it was.
std::string WithClass(std::string_view tag, std::string_view className);

class NewListingMarker : private ListingObserver
{
public:
    // Text goes on to sink in pieces that hold no LF but perhaps as their last byte. With
    // earlier null nothing is compared or changed: the listings are only counted.
    NewListingMarker(std::function<void(std::string_view)> sink, const IdentitySet* earlier);

    // The listings' bytes, in pieces of any size; a row may run over several.
    void Write(std::string_view piece);
    // Ends one page file's listing: its counts. Rows still open count for the page they end in.
    PageCount EndPage();
    // Whether text written now stands between rows and tags, outside any row.
    bool Settled() const;
    // Passes on everything held. False when the listings could not be read as such (then
    // some rows went on unmarked and the counts are not to be trusted).
    bool Finish();

private:
    void ListingEnded(std::string_view identity, std::size_t tagStart, std::size_t tagEnd) override;
    void PassOn(std::size_t upTo);
    void PassOnLines(std::string_view text);
    std::size_t HeldIndex(std::size_t offset) const;

    std::function<void(std::string_view)> m_sink;
    const IdentitySet* m_earlier;
    ListingScanner m_scanner;
    std::string m_held;          // bytes not yet passed on, with any classes added
    std::size_t m_heldStart = 0; // scanner offset of the first held byte
    std::size_t m_added = 0;     // bytes added to m_held by marks
    PageCount m_page;
};

} // namespace medora
