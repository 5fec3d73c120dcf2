#include "download/response_head.h"

#include <charconv>
#include <strings.h>

namespace download {

namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsNamed(std::string_view name, const char* wanted)
{
    return name.size() == std::char_traits<char>::length(wanted) &&
           strncasecmp(name.data(), wanted, name.size()) == 0;
}

// Calls each with every non-empty element of a comma-separated list, trimmed.
template <typename Each>
void ForEachElement(std::string_view list, Each each)
{
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view element = Trimmed(list.substr(0, comma));
        if (!element.empty())
            each(element);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
}

} // namespace

void ResponseHead::AddLine(std::string_view line)
{
    if (line.starts_with("HTTP/")) {
        *this = ResponseHead();
        return;
    }
    if (m_complete)
        return;
    line = Trimmed(line);
    if (line.empty()) {
        m_complete = true;
        return;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return;
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = line.substr(colon + 1);
    if (IsNamed(name, "Content-Length"))
        AddLength(value);
    else if (IsNamed(name, "Content-Encoding"))
        AddEncoding(value);
}

void ResponseHead::AddLength(std::string_view value)
{
    bool any = false;
    ForEachElement(value, [this, &any](std::string_view element) {
        any = true;
        std::uint64_t length = 0;
        const auto [end, ec] =
            std::from_chars(element.data(), element.data() + element.size(), length);
        if (ec != std::errc() || end != element.data() + element.size())
            SetFault(AnswerFault::LengthInvalid);
        else if (m_length && *m_length != length)
            SetFault(AnswerFault::LengthConflict);
        else
            m_length = length;
    });
    if (!any)
        SetFault(AnswerFault::LengthInvalid);
}

void ResponseHead::AddEncoding(std::string_view value)
{
    ForEachElement(value, [this](std::string_view coding) {
        if (IsNamed(coding, "identity") || m_fault != AnswerFault::None)
            return;
        SetFault(AnswerFault::Encoded);
        // A server's bytes go into a message for the user: keep them short and plain.
        for (const char c : coding.substr(0, kMaxCodingBytes))
            m_encoding += c > ' ' && c <= '~' ? c : '?';
    });
}

void ResponseHead::SetFault(AnswerFault fault)
{
    if (m_fault == AnswerFault::None)
        m_fault = fault;
}

} // namespace download
