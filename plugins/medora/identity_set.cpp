#include "identity_set.h"

#include <functional>
#include <iterator>

namespace medora {
namespace {

constexpr std::size_t kFirstSlots = 64;

} // namespace

IdentitySet::IdentitySet(std::initializer_list<std::string_view> identities)
{
    for (std::string_view identity : identities)
        insert(identity);
}

bool IdentitySet::insert(std::string_view identity)
{
    if ((m_size + 1) * 2 > m_slots.size())
        Grow();
    const std::uint64_t hash = HashOf(identity);
    Slot& slot = m_slots[Find(identity, hash)];
    if (slot.offset != kEmpty)
        return false;
    slot = {hash, m_texts.size(), identity.size()};
    m_texts.append(identity);
    ++m_size;
    return true;
}

std::uint64_t IdentitySet::HashOf(std::string_view identity) const
{
    return m_hasher != nullptr ? m_hasher(identity) : std::hash<std::string_view>{}(identity);
}

bool IdentitySet::contains(std::string_view identity) const
{
    return m_size > 0 && m_slots[Find(identity, HashOf(identity))].offset != kEmpty;
}

void IdentitySet::clear()
{
    m_slots.clear();
    m_texts.clear();
    m_size = 0;
}

std::size_t IdentitySet::Find(std::string_view identity, std::uint64_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = m_slots[at];
        if (slot.offset == kEmpty || (slot.hash == hash && Text(slot) == identity))
            return at;
    }
}

void IdentitySet::Grow()
{
    std::vector<Slot> old(m_slots.empty() ? kFirstSlots : m_slots.size() * 2);
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.offset == kEmpty)
            continue;
        std::size_t at = slot.hash & mask;
        while (m_slots[at].offset != kEmpty)
            at = (at + 1) & mask;
        m_slots[at] = slot;
    }
}

bool IdentitySet::operator==(const IdentitySet& other) const
{
    if (m_size != other.m_size)
        return false;
    for (std::string_view identity : *this) {
        if (!other.contains(identity))
            return false;
    }
    return true;
}

IdentitySet::const_iterator::const_iterator(const IdentitySet* set, std::size_t at)
    : m_set(set)
    , m_at(at)
{
    SkipEmpty();
}

std::string_view IdentitySet::const_iterator::operator*() const
{
    return m_set->Text(m_set->m_slots[m_at]);
}

IdentitySet::const_iterator& IdentitySet::const_iterator::operator++()
{
    ++m_at;
    SkipEmpty();
    return *this;
}

IdentitySet::const_iterator IdentitySet::const_iterator::operator++(int)
{
    const_iterator before = *this;
    ++*this;
    return before;
}

void IdentitySet::const_iterator::SkipEmpty()
{
    while (m_at < m_set->m_slots.size() && m_set->m_slots[m_at].offset == kEmpty)
        ++m_at;
}

} // namespace medora
