#pragma once

#include <string>
#include <string_view>

namespace listing_site {

class CRandom;

// One invented programme: its length and its Japanese title and description (UTF-8).
struct CProgrammeText
{
    int minutes = 0;
    std::string title;
    std::string description;
};

// Invents a programme of a random genre for a channel of the given region, at most
// minutesLeft long.
CProgrammeText MakeProgramme(CRandom& random, std::string_view region, int minutesLeft);

} // namespace listing_site
