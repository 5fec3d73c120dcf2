#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// A set of listings' identities built once and asked often: the texts lie back to back in one
// buffer and the table holds each one's hash and place, so that neither adding nor looking up
// allocates per listing. Texts are compared whenever hashes are equal: two listings that only
// share a hash stay two listings, and a new one is never taken for an old one.
namespace medora {

class IdentitySet
{
public:
    using Hasher = std::uint64_t (*)(std::string_view);

    IdentitySet() = default;
    // With a hash of one's own: tests make every identity share one.
    explicit IdentitySet(Hasher hasher)
        : m_hasher(hasher)
    {}
    IdentitySet(std::initializer_list<std::string_view> identities);

    // False when the set holds identity already.
    bool insert(std::string_view identity);
    bool contains(std::string_view identity) const;
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    void clear();

    // The identities in no particular order.
    class const_iterator
    {
    public:
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using reference = std::string_view;
        using pointer = void;
        using iterator_category = std::forward_iterator_tag;

        std::string_view operator*() const;
        const_iterator& operator++();
        const_iterator operator++(int);
        bool operator==(const const_iterator& other) const { return m_at == other.m_at; }

    private:
        friend class IdentitySet;
        const_iterator(const IdentitySet* set, std::size_t at);
        void SkipEmpty();

        const IdentitySet* m_set = nullptr;
        std::size_t m_at = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_slots.size()}; }

    // The same identities, whatever the order they came in.
    bool operator==(const IdentitySet& other) const;

private:
    struct Slot
    {
        std::uint64_t hash = 0;
        std::size_t offset = kEmpty;
        std::size_t length = 0;
    };
    static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);

    // The slot holding identity, or the empty one where it would go.
    std::size_t Find(std::string_view identity, std::uint64_t hash) const;
    std::uint64_t HashOf(std::string_view identity) const;
    void Grow();
    std::string_view Text(const Slot& slot) const
    {
        return {m_texts.data() + slot.offset, slot.length};
    }

    std::vector<Slot> m_slots; // a power of two of them, at most half full
    std::string m_texts;
    std::size_t m_size = 0;
    Hasher m_hasher = nullptr; // std::hash when null
};

} // namespace medora
