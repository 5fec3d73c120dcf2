#pragma once

#include "listing_identity.h"

#include <optional>
#include <string>
#include <string_view>

// The result page a new one is compared with: the newest earlier page of the same keyword
// file, region and plug-in, which lies in the same folder and differs only in its date
// ("<file>_<region>_<yyyymmdd>_<plug-in>.html").
namespace medora {

// A result page's file name cut around its date.
struct ResultName
{
    std::string_view prefix; // up to and with the '_' before the date
    std::string_view date;   // eight ASCII digits
    std::string_view suffix; // from the '_' after the date
};

// The last "_<eight digits>_" of the name is its date; nullopt for a name without one. The
// digits and the '_' after them are never part of a double-byte character, and every page
// compared is cut the same way, so a '_' that is a character's second byte does no harm.
std::optional<ResultName> SplitResultName(std::string_view fileName);

// The path of the page to compare with the one about to be written at outputPath: among the
// regular files of its folder that share its name but for an eight-digit date, the one with
// the latest date not after outputPath's (outputPath itself, when it is there, is that page).
// A name without a date has only itself to compare with. Empty when there is none.
std::string FindEarlierPage(const std::string& outputPath);

// The listings' identities of the page at path, read piece by piece. A file larger than the
// limit is refused before it is read.
ListingScan ReadListingIdentities(const std::string& path, ScanLimits limits = {});

} // namespace medora
