// Reading and writing a profile file through its public interface: the input is the file.
// Reads must not fail or run past their limits; one write either lands and reads back, with
// every other value read as before, or fails and leaves the file as it was.
#include "fuzz/fuzz_support.h"
#include "platform/profile.h"

#include <cstddef>
#include <cstdint>
#include <strings.h>
#include <utility>
#include <vector>

namespace {

using CName = std::pair<std::string, std::string>; // section, key

// What a read gives for a key that is not there.
constexpr char kMissing[] = "\x01";

// Names the program itself uses come first.
const std::vector<CName> kProgramNames = {
    {"Settings\\Proxy", "Server"}, {"URLParam", "sdate"}, {"Site", "Server"}};

// The program's names, then each of the first few section names the file spells with each of
// the first few key names.
std::vector<CName> NamesToRead(std::string_view file)
{
    std::vector<std::string> sections;
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start < file.size() && (sections.size() < 3 || keys.size() < 3)) {
        std::size_t end = file.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = file.size();
        const std::string_view line = file.substr(start, end - start);
        start = end + 1;
        const std::size_t close = line.find(']');
        const std::size_t equals = line.find('=');
        // The program's names hold no NUL, and the interface would take one as their end.
        if (line.find('\0') != std::string_view::npos)
            continue;
        if (line.starts_with('[') && close != std::string_view::npos)
            sections.emplace_back(line.substr(1, close - 1));
        else if (equals != std::string_view::npos && equals > 0)
            keys.emplace_back(line.substr(0, equals));
    }
    std::vector<CName> names = kProgramNames;
    for (const std::string& section : sections)
        for (const std::string& key : keys)
            names.emplace_back(section, key);
    return names;
}

bool SameName(const CName& a, const CName& b)
{
    // The store, like Windows, ignores blanks (space, tab, vertical tab, form feed) around
    // names and the case of ASCII letters.
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    auto trim = [&blank](std::string_view t) {
        while (!t.empty() && blank(t.front()))
            t.remove_prefix(1);
        while (!t.empty() && blank(t.back()))
            t.remove_suffix(1);
        return t;
    };
    auto same = [&trim](const std::string& x0, const std::string& y0) {
        const std::string_view x = trim(x0), y = trim(y0);
        return x.size() == y.size() && strncasecmp(x.data(), y.data(), x.size()) == 0;
    };
    return same(a.first, b.first) && same(a.second, b.second);
}

// Values a write may store: plain, code page 932 with 0x5C trail bytes ("ソ能"), empty, and
// one that reads as a number.
const char* const kValues[] = {"value", "\x83\x5C\x94\x5C", "", "12abc"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::WriteScratchFile("profile.ini", file);
    const platform::Profile profile(path);

    const std::vector<CName> names = NamesToRead(file);
    std::vector<std::string> before;
    for (const auto& [section, key] : names) {
        const std::string value = profile.ReadString(section, key, kMissing);
        FUZZ_CHECK(value.size() <= platform::Profile::kMaxValueBytes);
        if (profile.ReadString(section, key, "").empty())
            FUZZ_CHECK(profile.ReadInt(section, key, -7) == -7);
        before.push_back(value);
    }

    // The last byte picks what to write, and where: under a new key, a name the program uses,
    // or a name the file already holds a value under (a name it spells but that reads as
    // missing is no name the program could have written).
    const unsigned pick = size > 0 ? data[size - 1] : 0;
    const std::size_t chosen = (pick >> 4) % names.size();
    CName target{"Fuzz\\Check", "Written"};
    if ((pick & 8) && (chosen < kProgramNames.size() || before[chosen] != kMissing))
        target = names[chosen];
    const std::string value = kValues[pick % 4];
    if (!profile.WriteString(target.first, target.second, value)) {
        FUZZ_CHECK(fuzz::ReadWholeFile(path) == file);
        return 0;
    }
    FUZZ_CHECK(profile.ReadString(target.first, target.second, kMissing) == value);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!SameName(names[i], target))
            FUZZ_CHECK(profile.ReadString(names[i].first, names[i].second, kMissing) == before[i]);
    }
    return 0;
}
