#include "Order.h"

#include <algorithm>

namespace store {

Order::Entry Order::at(int row) const
{
    const auto [block, index] = locate(row);
    const Block& b = *m_blocks[block];
    return {b.key(static_cast<std::size_t>(index)), b.ids[static_cast<std::size_t>(index)]};
}

std::pair<std::size_t, int> Order::locate(int row) const
{
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), row);
    const auto block = static_cast<std::size_t>(it - m_starts.begin() - 1);
    return {block, row - m_starts[block]};
}

int Order::lowerBound(std::string_view key, std::int64_t rowId) const
{
    return partitionPoint([&](std::string_view k, std::int64_t id) { return entryLess(k, id, key, rowId); });
}

int Order::find(std::string_view key, std::int64_t rowId) const
{
    const int row = lowerBound(key, rowId);
    if (row >= m_size)
        return -1;
    const Entry e = at(row);
    return e.rowId == rowId && e.key == key ? row : -1;
}

int Order::insert(std::string_view key, std::int64_t rowId)
{
    const int row = lowerBound(key, rowId);
    if (m_blocks.empty()) {
        append(key, rowId);
        return 0;
    }
    // Past the end goes to the last block.
    std::size_t block;
    int index;
    if (row >= m_size) {
        block = m_blocks.size() - 1;
        index = m_blocks[block]->size();
    } else {
        std::tie(block, index) = locate(row);
    }
    insertAt(block, index, key, rowId);
    return row;
}

void Order::insertAt(std::size_t block, int index, std::string_view key, std::int64_t rowId)
{
    Block& b = *m_blocks[block];
    const auto i = static_cast<std::size_t>(index);
    const std::uint32_t begin = i == 0 ? 0 : b.ends[i - 1];
    b.keys.insert(begin, key);
    const auto length = static_cast<std::uint32_t>(key.size());
    for (std::size_t j = i; j < b.ends.size(); ++j)
        b.ends[j] += length;
    b.ends.insert(b.ends.begin() + index, begin + length);
    b.ids.insert(b.ids.begin() + index, rowId);
    ++m_size;
    if (b.size() > kMaxBlock) {
        // Split in halves.
        auto tail = std::make_unique<Block>();
        const std::size_t half = b.ids.size() / 2;
        const std::uint32_t cut = b.ends[half - 1];
        tail->ids.assign(b.ids.begin() + static_cast<std::ptrdiff_t>(half), b.ids.end());
        tail->keys = b.keys.substr(cut);
        for (std::size_t j = half; j < b.ends.size(); ++j)
            tail->ends.push_back(b.ends[j] - cut);
        b.ids.resize(half);
        b.ends.resize(half);
        b.keys.resize(cut);
        m_blocks.insert(m_blocks.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(tail));
        m_starts.insert(m_starts.begin() + static_cast<std::ptrdiff_t>(block) + 1, 0);
    }
    rebuildStarts(block + 1);
}

bool Order::erase(std::string_view key, std::int64_t rowId)
{
    const int row = find(key, rowId);
    if (row < 0)
        return false;
    const auto [block, index] = locate(row);
    eraseAt(block, index);
    return true;
}

void Order::eraseAt(std::size_t block, int index)
{
    Block& b = *m_blocks[block];
    const auto i = static_cast<std::size_t>(index);
    const std::uint32_t begin = i == 0 ? 0 : b.ends[i - 1];
    const std::uint32_t length = b.ends[i] - begin;
    b.keys.erase(begin, length);
    b.ends.erase(b.ends.begin() + index);
    for (std::size_t j = i; j < b.ends.size(); ++j)
        b.ends[j] -= length;
    b.ids.erase(b.ids.begin() + index);
    --m_size;
    if (b.ids.empty()) {
        m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(block));
        m_starts.erase(m_starts.begin() + static_cast<std::ptrdiff_t>(block));
        rebuildStarts(block);
    } else {
        rebuildStarts(block + 1);
    }
}

void Order::append(std::string_view key, std::int64_t rowId)
{
    if (m_blocks.empty() || m_blocks.back()->size() >= kLoadBlock) {
        m_blocks.push_back(std::make_unique<Block>());
        m_starts.push_back(m_size);
    }
    Block& b = *m_blocks.back();
    b.keys.append(key);
    b.ends.push_back(static_cast<std::uint32_t>(b.keys.size()));
    b.ids.push_back(rowId);
    ++m_size;
}

void Order::rebuildStarts(std::size_t fromBlock)
{
    int start = fromBlock == 0 ? 0 : m_starts[fromBlock - 1] + m_blocks[fromBlock - 1]->size();
    for (std::size_t i = fromBlock; i < m_blocks.size(); ++i) {
        m_starts[i] = start;
        start += m_blocks[i]->size();
    }
}

void Order::clear()
{
    m_blocks.clear();
    m_starts.clear();
    m_size = 0;
}

std::size_t Order::memoryBytes() const
{
    std::size_t bytes = m_starts.capacity() * sizeof(int) + m_blocks.capacity() * sizeof(void*);
    for (const auto& b : m_blocks)
        bytes += sizeof(Block) + b->ids.capacity() * 8 + b->ends.capacity() * 4 + b->keys.capacity();
    return bytes;
}

} // namespace store
