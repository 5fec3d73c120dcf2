#pragma once

#include <string>
#include <string_view>

// medora's two search-period settings and its server name: one process-wide copy, read from
// medora.ini (SettingsPath). Used on the host's main thread only, but for MarkNewListings,
// which the merge reads: no call of the contract overlaps another, so no read is under way.
namespace medora {

// The listing site's host when medora.ini names no [Site] Server.
inline constexpr char kDefaultServerName[] = "www.tvmedora.example";

// Longest stored values, in bytes; longer ones are cut without splitting a character.
inline constexpr std::size_t kStartDateBytes = 8;
inline constexpr std::size_t kPeriodBytes = 2;

// The host program's folder + "Plugin/" (not this library's own folder); empty when the
// system cannot tell where the program lies.
std::string PluginFolder();
// Plug-in folder + "medora/template.html"; empty as above.
std::string TemplatePath();
// "medora/medora.ini" in the plug-in folder when the program runs portable, else in
// "Plugin/" of the user's configuration folder (platform/user_folders.h); empty when neither
// can be found.
std::string SettingsPath();

// Replaces the values in memory with the file's; a missing file, section or key gives the
// defaults ("" for the start date, "28" for the period, the built-in server, new listings
// marked).
void ReadSettings();

// The first day of the search period as "YYYYMMDD", or empty for none.
const std::string& StartDate();
// The length of the search period in days, as text.
const std::string& Period();
// Host or host:port of the listing server.
const std::string& ServerName();

// Whether a result page marks the listings its earlier page did not have: false only when
// [Result] MarkNew is 0.
bool MarkNewListings();

// Set the values in memory, cut as on reading.
void SetStartDate(std::string_view value);
void SetPeriod(std::string_view value);

// Writes both period settings to the file, an empty value as an empty value. False when the
// file could not be written; memory keeps the values either way.
bool SaveSettings();

} // namespace medora
