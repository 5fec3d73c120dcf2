#pragma once

#include "new_listing_marker.h"

#include <cstdint>
#include <string>
#include <vector>

// The counts of the last successful merge of each output path, kept for the program to ask
// after the merge. Safe to use from any thread.
namespace medora {

// Keeps counts (one per page file) as those of outputPath's page, replacing earlier ones.
void RememberCounts(const std::string& outputPath, std::vector<PageCount> counts);
// outputPath has no counts any more (its merge failed, or its counts cannot be trusted).
void ForgetCounts(const std::string& outputPath);

// Copies outputPath's counts as pairs (listings, new) into counts, whole pairs only and at
// most size / 2 of them; returns the number of pages, or -1 when outputPath has no counts,
// is null, or counts is null while size > 0.
std::int32_t CopyCounts(const char* outputPath, std::int32_t* counts, std::int32_t size);

} // namespace medora
