#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// One index order of a table held in memory: (sort key, row id) pairs in
// order, kept in blocks of at most a few thousand so that an insert moves a
// block, not the whole list, and a row number is found by binary search.
// Keys of a block share one string, so a million entries cost ~30 MB.
class Order {
public:
    struct Entry {
        std::string_view key;
        std::int64_t rowId;
    };

    int size() const { return m_size; }
    Entry at(int row) const;

    // First row whose (key, rowId) is not less than the given pair.
    int lowerBound(std::string_view key, std::int64_t rowId) const;
    // First row for which `less(entryKey)` is false; `less` must be monotone.
    template <class Less> int partitionPoint(Less less) const;

    // Exact entry's row, or -1.
    int find(std::string_view key, std::int64_t rowId) const;
    int insert(std::string_view key, std::int64_t rowId);
    bool erase(std::string_view key, std::int64_t rowId);
    // Loading in order: appends without searching.
    void append(std::string_view key, std::int64_t rowId);
    void clear();
    std::size_t memoryBytes() const;

private:
    struct Block {
        std::vector<std::int64_t> ids;
        std::vector<std::uint32_t> ends; // end offset of each key in `keys`
        std::string keys;
        std::string_view key(std::size_t i) const
        {
            const std::uint32_t begin = i == 0 ? 0 : ends[i - 1];
            return std::string_view(keys).substr(begin, ends[i] - begin);
        }
        int size() const { return static_cast<int>(ids.size()); }
    };
    static constexpr int kLoadBlock = 1024;
    static constexpr int kMaxBlock = 2048;

    // Block holding `row` and the row's index inside it.
    std::pair<std::size_t, int> locate(int row) const;
    void insertAt(std::size_t block, int index, std::string_view key, std::int64_t rowId);
    void eraseAt(std::size_t block, int index);
    void rebuildStarts(std::size_t fromBlock);

    std::vector<std::unique_ptr<Block>> m_blocks;
    std::vector<int> m_starts; // first row of each block
    int m_size = 0;
};

inline bool entryLess(std::string_view aKey, std::int64_t aId, std::string_view bKey, std::int64_t bId)
{
    const int c = aKey.compare(bKey);
    return c < 0 || (c == 0 && aId < bId);
}

template <class Less> int Order::partitionPoint(Less less) const
{
    // Blocks: the first whose last entry is not less.
    std::size_t lo = 0, hi = m_blocks.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        const Block& b = *m_blocks[mid];
        if (less(b.key(b.ids.size() - 1), b.ids.back()))
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == m_blocks.size())
        return m_size;
    const Block& b = *m_blocks[lo];
    std::size_t first = 0, last = b.ids.size();
    while (first < last) {
        const std::size_t mid = (first + last) / 2;
        if (less(b.key(mid), b.ids[mid]))
            first = mid + 1;
        else
            last = mid;
    }
    return m_starts[lo] + static_cast<int>(first);
}

} // namespace store
