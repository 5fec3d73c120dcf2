// Random hand-edited profiles, one write each: the written key reads back, every other key
// reads as before, and the file changes by the key's line alone (or one added line, or one
// added section).
#include "platform/profile.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using platform::Profile;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using namespace std::string_literals;

// Lines people write, and lines that trip up a parser.
const std::vector<std::string> kLines = {
    "[A]",  "[a]",     " [ B ] ",           "[B] ; b", "[C", "[", "[]",   "[D]x]",
    "k=1",  "K = 2",   " k\t=\t\"q\" ",     "j=",      "=v", "k", ";k=3", " ; j=4",
    "#k=5", "k=a\0b"s, "j=\x95\x5C",        "new=x",   "n",  "",  "   ",  "x=[A]",
    "k==",  "\0"s,     "\x83\x65=\x83\x65",
};
const std::vector<std::string> kEnds = {"\n", "\r\n", "\r"};
// The names a write may pick, grouped by hand into the ones the file takes as the same
// name: case is ignored for ASCII letters, and for nothing else.
const std::vector<std::vector<std::string>> kSectionGroups = {{"A", "a"}, {"B", "b"}, {"C"}, {"D"}};
const std::vector<std::vector<std::string>> kKeyGroups = {
    {"k", "K"}, {"j"}, {"n"}, {"new"}, {"#k"}};
const std::string kValueBytes = "vx19=;[]\"\x95\x5C\x83\x65\xB1";

std::vector<std::string> Flatten(const std::vector<std::vector<std::string>>& groups)
{
    std::vector<std::string> names;
    for (const auto& group : groups)
        names.insert(names.end(), group.begin(), group.end());
    return names;
}

const std::vector<std::string> kSections = Flatten(kSectionGroups);
const std::vector<std::string> kKeys = Flatten(kKeyGroups);

// True when a and b stand in one group; a name in none matches nothing.
bool SameName(const std::vector<std::vector<std::string>>& groups, const std::string& a,
              const std::string& b)
{
    for (const auto& group : groups) {
        const bool hasA = std::find(group.begin(), group.end(), a) != group.end();
        const bool hasB = std::find(group.begin(), group.end(), b) != group.end();
        if (hasA || hasB)
            return hasA && hasB;
    }
    return false;
}

std::string Escaped(const std::string& bytes)
{
    std::string text;
    for (unsigned char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        text += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c)) : hex;
    }
    return text;
}

// Lines with their line ends: LF, CR LF or a lone CR.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::size_t next = text.size();
        if (end != std::string::npos)
            next = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        lines.push_back(text.substr(pos, next - pos));
        pos = next;
    }
    return lines;
}

std::string EndOf(const std::string& line)
{
    std::size_t end = line.find_first_of("\r\n");
    return end == std::string::npos ? std::string() : line.substr(end);
}

std::string ContentOf(const std::string& line)
{
    return line.substr(0, line.size() - EndOf(line).size());
}

struct Write
{
    std::string section, key, value;
};

// Empty when after is before with only the written key's line changed or added.
std::string CompareLines(const std::string& before, const std::string& after, const Write& w)
{
    const std::vector<std::string> old = SplitLines(before);
    std::vector<std::string> now = SplitLines(after);
    std::size_t head = 0;
    while (head < old.size() && head < now.size() && old[head] == now[head])
        ++head;
    std::size_t tail = 0;
    while (tail + head < old.size() && tail + head < now.size() &&
           old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const auto skipHead = static_cast<std::ptrdiff_t>(head);
    const auto skipTail = static_cast<std::ptrdiff_t>(tail);
    std::vector<std::string> gone(old.begin() + skipHead, old.end() - skipTail);
    std::vector<std::string> added(now.begin() + skipHead, now.end() - skipTail);

    if (gone.size() == 1 && added.size() == 1) {
        const std::string content = ContentOf(added[0]);
        const std::size_t equals = content.find('=');
        if (equals == std::string::npos ||
            !SameName(kKeyGroups, content.substr(0, equals), w.key) ||
            content.substr(equals + 1) != w.value || EndOf(added[0]) != EndOf(gone[0]))
            return "changed line " + Escaped(gone[0]) + " into " + Escaped(added[0]);
        return {};
    }
    std::string eol = "\n";
    for (const std::string& line : old) {
        if (!EndOf(line).empty()) {
            eol = EndOf(line);
            break;
        }
    }
    if (gone.size() == 1 && tail == 0 && EndOf(gone[0]).empty() && !added.empty() &&
        added[0] == gone[0] + eol) {
        // The last line had no line end and got one.
        gone.clear();
        added.erase(added.begin());
    }
    const std::vector<std::string> intoSection = {w.key + "=" + w.value + eol};
    const std::vector<std::string> newSection = {"[" + w.section + "]" + eol, intoSection[0]};
    if (gone.empty() && (added == intoSection || added == newSection || added.empty()))
        return {};
    std::string report = "removed:";
    for (const std::string& line : gone)
        report += " " + Escaped(line);
    report += "; added:";
    for (const std::string& line : added)
        report += " " + Escaped(line);
    return report;
}

TEST(ProfileFuzz, OneWriteChangesOnlyItsOwnLine)
{
    CTempDir dir;
    const Profile profile(dir.File("Vistrel.ini"));
    constexpr char kNone[] = "<none>";
    for (unsigned seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](const std::vector<std::string>& from) {
            return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
        };
        auto chance = [&](int inN) {
            return std::uniform_int_distribution<int>(1, inN)(random) == 1;
        };

        std::string before = chance(8) ? "\xEF\xBB\xBF" : "";
        const std::string fileEnd = pick(kEnds);
        const int lines = std::uniform_int_distribution<int>(0, 12)(random);
        for (int i = 0; i < lines; ++i)
            before += pick(kLines) + (chance(5) ? pick(kEnds) : fileEnd);
        if (lines > 0 && chance(4))
            before += pick(kLines); // no line end at the end

        Write w{pick(kSections), pick(kKeys), ""};
        const int valueBytes = std::uniform_int_distribution<int>(0, 6)(random);
        for (int i = 0; i < valueBytes; ++i)
            w.value += kValueBytes[std::uniform_int_distribution<std::size_t>(
                0, kValueBytes.size() - 1)(random)];
        if (w.value.starts_with('"'))
            w.value.insert(0, "v"); // one pair of quotes would be taken off on reading

        WriteFileBytes(profile.GetPath(), before);
        std::vector<std::string> reads;
        for (const std::string& section : kSections)
            for (const std::string& key : kKeys)
                reads.push_back(profile.ReadString(section, key, kNone));

        SCOPED_TRACE("seed " + std::to_string(seed) + ", file " + Escaped(before) + ", write [" +
                     w.section + "] " + w.key + "=" + Escaped(w.value));
        ASSERT_TRUE(profile.WriteString(w.section, w.key, w.value));
        const std::string after = ReadFileBytes(profile.GetPath());
        EXPECT_EQ(CompareLines(before, after, w), "") << "file after: " << Escaped(after);
        EXPECT_EQ(profile.ReadString(w.section, w.key, kNone), w.value);
        std::size_t n = 0;
        for (const std::string& section : kSections) {
            for (const std::string& key : kKeys) {
                const std::string& was = reads[n++];
                if (!SameName(kSectionGroups, section, w.section) ||
                    !SameName(kKeyGroups, key, w.key)) {
                    EXPECT_EQ(profile.ReadString(section, key, kNone), was)
                        << "[" << section << "] " << key;
                }
            }
        }
    }
}

} // namespace
