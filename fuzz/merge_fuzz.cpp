// Merging pages into the template. The input is the template followed by up to eight pages,
// each introduced by the bytes "\1PAGE\1". A missing page and a folder are merged as well.
// The output must be what a plain model of the merge gives, http-equiv attributes of the
// listings made inert.
#include "fuzz/fuzz_support.h"
#include "merge.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace {

constexpr std::string_view kSeparator = "\1PAGE\1";
constexpr std::size_t kMaxPages = 8;
constexpr std::size_t kMaxPieceBytes = 4094;

constexpr std::string_view kInsertionPoint = "<!-- template replace -->\n";
constexpr std::string_view kListingStart = "<!-- \x81\xAA\x83\x4A\x83\x65\x83\x53\x83\x8A\x95\xCF"
                                           "\x8D\x58 \x81\x5B-->\n";
constexpr std::string_view kListingEnd = "<HR NOSHADE>\n";

struct Piece
{
    std::string text;
    bool lineStart;
};

// The file as the merge reads it: CR LF as LF, then lines cut into pieces of at most 4094
// bytes. Only a piece that begins a line can be a marker line.
std::vector<Piece> Pieces(std::string_view raw)
{
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            text += raw[i];
    }
    std::vector<Piece> pieces;
    bool lineStart = true;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t lf = text.find('\n', at);
        const std::size_t end = std::min(
            {lf == std::string::npos ? text.size() : lf + 1, at + kMaxPieceBytes, text.size()});
        pieces.push_back({text.substr(at, end - at), lineStart});
        lineStart = text[end - 1] == '\n';
        at = end;
    }
    return pieces;
}

bool IsMarker(const Piece& piece, std::string_view marker)
{
    return piece.lineStart && piece.text == marker;
}

bool OneOf(char c, std::string_view set)
{
    return set.find(c) != std::string_view::npos;
}

// "data-vistrel-inert-" before each "http-equiv" (any case) that follows a blank, "/" or a
// quote, or the start, and comes before a blank, "/", ">", "=" or the end.
std::string ModelInert(std::string_view text)
{
    constexpr std::string_view kName = "http-equiv";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool name =
            (i == 0 || OneOf(text[i - 1], " \t\n\f\r/\"'")) && i + kName.size() <= text.size() &&
            (i + kName.size() == text.size() || OneOf(text[i + kName.size()], " \t\n\f\r/>="));
        for (std::size_t k = 0; name && k < kName.size(); ++k)
            name = std::tolower(static_cast<unsigned char>(text[i + k])) == kName[k];
        if (name)
            out += "data-vistrel-inert-";
        out += text[i];
    }
    return out;
}

std::string ModelMerge(std::string_view pageTemplate, const std::vector<std::string_view>& pages)
{
    std::string out;
    const std::vector<Piece> lines = Pieces(pageTemplate);
    std::size_t rest = 0;
    while (rest < lines.size() && !IsMarker(lines[rest], kInsertionPoint))
        out += lines[rest++].text;
    if (rest < lines.size())
        ++rest; // the marker line itself
    std::string listings;
    for (std::string_view page : pages) {
        const std::vector<Piece> pieces = Pieces(page);
        std::size_t i = 0;
        while (i < pieces.size() && !IsMarker(pieces[i], kListingStart))
            ++i;
        for (++i; i < pieces.size() && !IsMarker(pieces[i], kListingEnd); ++i)
            listings += pieces[i].text;
    }
    out += ModelInert(listings);
    for (; rest < lines.size(); ++rest)
        out += lines[rest].text;

    std::string crlf;
    for (char c : out)
        crlf += c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1);
    return crlf;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    for (std::size_t at = input.find(kSeparator);
         at != std::string_view::npos && parts.size() < kMaxPages; at = input.find(kSeparator)) {
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + kSeparator.size());
    }
    parts.push_back(input);
    const std::string_view pageTemplate = parts.front();
    const std::vector<std::string_view> pages(parts.begin() + 1, parts.end());

    const std::string& folder = fuzz::ScratchFolder();
    const std::string templatePath = fuzz::WriteScratchFile("template.html", pageTemplate);
    std::vector<std::string> paths;
    paths.reserve(pages.size() + 2);
    for (std::size_t i = 0; i < pages.size(); ++i)
        paths.push_back(fuzz::WriteScratchFile("~TV" + std::to_string(i), pages[i]));
    // Neither contributes anything: one does not exist, the other is a folder.
    paths.push_back(folder + "/missing");
    std::filesystem::create_directories(folder + "/folder");
    paths.push_back(folder + "/folder");
    std::vector<const char*> list;
    list.reserve(paths.size() + 1);
    for (const std::string& path : paths)
        list.push_back(path.c_str());
    list.push_back(nullptr);

    // The last input's page would be this one's earlier page, and the model marks nothing new.
    const std::string output = folder + "/result.html";
    std::filesystem::remove(output);
    FUZZ_CHECK(medora::MergeDownloadFiles(output.c_str(), list.data(), templatePath) == 0);
    FUZZ_CHECK(fuzz::ReadWholeFile(output) == ModelMerge(pageTemplate, pages));
    return 0;
}
