#include "earlier_page.h"

#include "platform/text_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace medora {
namespace {

constexpr std::size_t kDateBytes = 8;

bool IsDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsRegularFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The date of a sibling page of the same file, region and plug-in; nullopt for other files.
std::optional<std::string_view> SiblingDate(std::string_view name, const ResultName& own)
{
    if (name.size() != own.prefix.size() + kDateBytes + own.suffix.size() ||
        !name.starts_with(own.prefix) || !name.ends_with(own.suffix))
        return std::nullopt;
    const std::string_view date = name.substr(own.prefix.size(), kDateBytes);
    return IsDigits(date) ? std::optional(date) : std::nullopt;
}

} // namespace

std::optional<ResultName> SplitResultName(std::string_view fileName)
{
    if (fileName.size() < kDateBytes + 2)
        return std::nullopt;
    for (std::size_t start = fileName.size() - kDateBytes - 2 + 1; start-- > 0;) {
        const std::string_view date = fileName.substr(start + 1, kDateBytes);
        if (fileName[start] == '_' && fileName[start + 1 + kDateBytes] == '_' && IsDigits(date))
            return ResultName{fileName.substr(0, start + 1), date,
                              fileName.substr(start + 1 + kDateBytes)};
    }
    return std::nullopt;
}

std::string FindEarlierPage(const std::string& outputPath)
{
    const std::filesystem::path output(outputPath);
    const std::string name = output.filename().native();
    const std::optional<ResultName> own = SplitResultName(name);
    if (!own)
        return IsRegularFile(output) ? outputPath : std::string();

    std::filesystem::path folder = output.parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    std::string best;
    std::string bestDate;
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::string entryName = entries->path().filename().native();
        const std::optional<std::string_view> date = SiblingDate(entryName, *own);
        // A page dated after this run's (a clock set back) is not an earlier one.
        if (!date || *date > own->date || *date <= std::string_view(bestDate) ||
            !IsRegularFile(entries->path()))
            continue;
        bestDate = *date;
        best = (output.parent_path() / entryName).native();
    }
    return best;
}

ListingScan ReadListingIdentities(const std::string& path, ScanLimits limits)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return ListingScan{{}, ScanFault::unreadable};
    if (size > limits.pageBytes)
        return ListingScan{{}, ScanFault::tooLarge};

    platform::TextReader reader;
    if (!reader.Open(path))
        return ListingScan{{}, ScanFault::unreadable};
    ListingScanner scanner(limits);
    std::string_view piece;
    while (reader.ReadPiece(piece))
        scanner.Feed(piece);
    if (reader.HasError())
        return ListingScan{{}, ScanFault::unreadable};
    return scanner.Finish();
}

} // namespace medora
