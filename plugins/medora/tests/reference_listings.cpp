#include "reference_listings.h"

namespace medora_test {
namespace {

using medora::ScanFault;

bool Space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Low(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

class Reader
{
public:
    Reader(medora::ScanLimits limits, bool countOnly)
        : m_limits(limits)
        , m_countOnly(countOnly)
    {}

    ReferenceReading Read(std::string_view page)
    {
        for (std::size_t at = 0; at < page.size() && m_out.fault == ScanFault::none; ++at) {
            if (at + 1 > m_limits.pageBytes)
                Fail(ScanFault::tooLarge);
            else if (page[at] == '\0')
                Fail(ScanFault::damaged);
            else
                Take(page[at], at);
        }
        if (m_out.fault == ScanFault::none && (m_mode != Mode::text || m_inRow))
            Fail(ScanFault::damaged);
        return std::move(m_out);
    }

private:
    enum class Mode { text, tagOpen, tag, comment, raw };

    void Take(char c, std::size_t at)
    {
        switch (m_mode) {
        case Mode::text:
            if (c == '<') {
                m_mode = Mode::tagOpen;
                m_tagStart = at;
            } else
                Text(c);
            return;
        case Mode::tagOpen:
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '/' || c == '!') {
                m_mode = Mode::tag;
                m_name.assign(1, Low(c));
                m_nameDone = false;
                m_quote = 0;
                m_last = c;
            } else {
                m_mode = Mode::text;
                Text('<');
                Take(c, at);
            }
            return;
        case Mode::tag:
            Tag(c, at);
            return;
        case Mode::comment:
            if (c == '>' && m_dashes >= 2)
                m_mode = Mode::text;
            m_dashes = c == '-' ? m_dashes + 1 : 0;
            return;
        case Mode::raw:
            Raw(c, at);
            return;
        }
    }

    void Text(char c)
    {
        if (!m_inRow)
            return;
        if (Space(c)) {
            m_pending = !m_row.empty();
            return;
        }
        if (m_pending)
            m_row += ' ';
        m_pending = false;
        m_row += c;
        if (!m_countOnly && m_row.size() > m_limits.rowBytes)
            Fail(ScanFault::damaged);
    }

    void Tag(char c, std::size_t at)
    {
        if (m_quote != 0) {
            if (c == m_quote)
                m_quote = 0;
            return;
        }
        if (c == '>') {
            EndTag(at + 1);
            return;
        }
        if (!m_nameDone) {
            if (Space(c) || (c == '/' && m_name != "/"))
                m_nameDone = true;
            else
                m_name += Low(c);
            if (m_name == "!--") {
                m_mode = Mode::comment;
                m_dashes = 0;
                return;
            }
        } else if ((c == '"' || c == '\'') && m_last == '=') {
            m_quote = c;
        }
        if (!Space(c))
            m_last = c;
    }

    void Raw(char c, std::size_t at)
    {
        const char lower = Low(c);
        m_matched = lower == m_rawEnd[m_matched] ? m_matched + 1 : lower == '<' ? 1 : 0;
        if (m_matched < m_rawEnd.size())
            return;
        m_mode = Mode::tag;
        m_tagStart = at + 1 - m_rawEnd.size();
        m_name = m_rawEnd.substr(1);
        m_nameDone = false;
        m_quote = 0;
        m_last = c;
    }

    void EndTag(std::size_t tagEnd)
    {
        m_mode = Mode::text;
        if (m_name == "script" || m_name == "style") {
            m_mode = Mode::raw;
            m_rawEnd = m_name == "script" ? "</script" : "</style";
            m_matched = 0;
            return;
        }
        if (m_inRow)
            m_pending = !m_row.empty();
        if (m_inRow && m_tables > 0) {
            m_tables += m_name == "table" ? 1 : m_name == "/table" ? -1 : 0;
            return;
        }
        if (m_name == "tr") {
            EndRow();
            m_inRow = true;
            m_rowTag = {std::string(), m_tagStart, tagEnd};
        } else if (m_name == "/tr" || m_name == "/table" || m_name == "tbody" ||
                   m_name == "/tbody" || m_name == "thead" || m_name == "tfoot") {
            EndRow();
        } else if (m_inRow && m_name == "td") {
            m_hasCell = true;
        } else if (m_inRow && m_name == "table") {
            ++m_tables;
        }
    }

    void EndRow()
    {
        if (m_inRow && m_hasCell && !m_row.empty()) {
            m_rowTag.identity = m_countOnly ? std::string() : m_row;
            m_out.rows.push_back(m_rowTag);
        }
        m_inRow = m_hasCell = m_pending = false;
        m_tables = 0;
        m_row.clear();
    }

    void Fail(ScanFault fault)
    {
        m_out.fault = fault;
        m_out.rows.clear();
    }

    medora::ScanLimits m_limits;
    bool m_countOnly;
    ReferenceReading m_out;
    Mode m_mode = Mode::text;
    std::size_t m_tagStart = 0;
    std::string m_name; // whole, not cut: a long name matches nothing either way
    bool m_nameDone = false;
    char m_quote = 0;
    char m_last = 0;
    int m_dashes = 0;
    std::string m_rawEnd;
    std::size_t m_matched = 0;
    bool m_inRow = false;
    bool m_hasCell = false;
    bool m_pending = false;
    int m_tables = 0;
    std::string m_row;
    ReferenceRow m_rowTag;
};

} // namespace

ReferenceReading ReadReference(std::string_view page, medora::ScanLimits limits, bool countOnly)
{
    return Reader(limits, countOnly).Read(page);
}

} // namespace medora_test
