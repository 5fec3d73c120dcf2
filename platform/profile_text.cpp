#include "platform/profile_text.h"

namespace platform {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII only: the bytes of a code page 932 name are never folded.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

bool HasLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

ProfileText::ProfileText(std::string_view text)
    : m_text(text)
{
    std::size_t pos = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::size_t next;
        if (end == std::string_view::npos)
            end = next = text.size();
        else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            next = end + 2;
        else
            next = end + 1;
        Line line = Classify(text, pos, end);
        line.next = next;
        m_lines.push_back(line);
        pos = next;
    }
}

ProfileText::Line ProfileText::Classify(std::string_view text, std::size_t begin, std::size_t end)
{
    Line line;
    line.begin = begin;
    line.end = line.next = end;
    const std::string_view content = Trim(text.substr(begin, end - begin));
    if (content.empty() || content.front() == ';')
        return line;
    if (content.front() == '[') {
        const std::size_t close = content.find(']');
        if (close != std::string_view::npos) {
            line.kind = Kind::Section;
            line.name = Trim(content.substr(1, close - 1));
        }
        return line;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos)
        return line;
    line.name = Trim(content.substr(0, equals));
    if (line.name.empty())
        return line;
    line.kind = Kind::Key;
    std::string_view value = content.substr(equals + 1);
    value = value.substr(0, value.find('\0'));
    line.value = Trim(value);
    return line;
}

bool ProfileText::CanStore(std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    return !section.empty() && !key.empty() && !HasLineBreakOrNul(section) &&
           !HasLineBreakOrNul(key) && !HasLineBreakOrNul(value) &&
           section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos &&
           key.front() != ';' && key.front() != '[';
}

std::optional<std::size_t> ProfileText::FindKeyLine(std::string_view section,
                                                    std::string_view key) const
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty())
        return std::nullopt;
    bool inSection = false; // keys before the first section belong to none
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Section)
            inSection = SameName(line.name, section);
        else if (inSection && line.kind == Kind::Key && SameName(line.name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileText::FindSectionLine(std::string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && SameName(m_lines[i].name, section))
            return i;
    }
    return std::nullopt;
}

std::string_view ProfileText::LineEnd() const
{
    for (const Line& line : m_lines) {
        if (line.next > line.end)
            return m_text.substr(line.end, line.next - line.end);
    }
    return "\n";
}

std::optional<std::string_view> ProfileText::Find(std::string_view section,
                                                  std::string_view key) const
{
    const std::optional<std::size_t> line = FindKeyLine(section, key);
    if (!line)
        return std::nullopt;
    return m_lines[*line].value;
}

std::string ProfileText::WithValue(std::string_view section, std::string_view key,
                                   std::string_view value) const
{
    section = Trim(section);
    key = Trim(key);
    const std::string_view eol = LineEnd();
    std::string text;
    text.reserve(m_text.size() + section.size() + key.size() + value.size() + 8);

    if (const std::optional<std::size_t> found = FindKeyLine(section, key)) {
        const Line& line = m_lines[*found];
        text.append(m_text.substr(0, line.begin));
        text.append(line.name).append("=").append(value);
        text.append(m_text.substr(line.end));
        return text;
    }

    // Where the new line goes, and what goes there.
    std::size_t at = m_text.size();
    std::string piece;
    const Line* before = m_lines.empty() ? nullptr : &m_lines.back();
    if (const std::optional<std::size_t> header = FindSectionLine(section)) {
        std::size_t anchor = *header;
        for (std::size_t i = anchor + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section;
             ++i) {
            if (m_lines[i].kind == Kind::Key)
                anchor = i;
        }
        before = &m_lines[anchor];
        at = before->next;
    } else {
        piece.append("[").append(section).append("]").append(eol);
    }
    piece.append(key).append("=").append(value).append(eol);
    // A last line without a line end gets one, so the new line stays a line of its own.
    if (before != nullptr && before->next == before->end)
        piece.insert(0, eol);

    text.append(m_text.substr(0, at));
    text.append(piece);
    text.append(m_text.substr(at));
    return text;
}

} // namespace platform
