#include "store/TableCheck.h"

#include "StoreTexts.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace store {

namespace {

std::uint32_t be16(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 8) | p[1];
}

std::uint32_t be32(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// The file's format as far as the walk reads it; anything it does not know
// is left to the engine's own check.
struct Layout {
    std::uint32_t pageSize = 0;
    std::uint32_t usable = 0;
    std::uint32_t pages = 0;
};

// A damage found: the page and what is wrong with it, for the detail line.
struct Damage {
    std::string text;
};

Damage at(std::uint32_t page, const std::string& what)
{
    return {"stránka " + std::to_string(page) + ": " + what};
}

class PageWalk {
public:
    PageWalk(const unsigned char* file, const Layout& layout)
        : m_file(file), m_layout(layout), m_seen(layout.pages + 1, false)
    {
    }

    void tree(std::uint32_t root)
    {
        if (root < 1 || root > m_layout.pages)
            throw Damage{"kořen stromu na stránce " + std::to_string(root) + " mimo soubor"};
        const unsigned char type = m_file[pageOffset(root) + (root == 1 ? 100 : 0)];
        const bool table = type == 0x05 || type == 0x0D;
        int leafDepth = -1;
        page(root, table, 0, leafDepth);
    }

    void freelist(std::uint32_t trunk, std::uint32_t count)
    {
        std::uint32_t found = 0;
        while (trunk != 0) {
            claim(trunk, "seznam volných stránek");
            ++found;
            const unsigned char* p = m_file + pageOffset(trunk);
            const std::uint32_t leaves = be32(p + 4);
            if (leaves > m_layout.usable / 4 - 2)
                throw at(trunk, "seznam volných stránek je delší než stránka");
            for (std::uint32_t i = 0; i < leaves; ++i)
                claim(be32(p + 8 + 4 * i), "volná stránka");
            found += leaves;
            if (found > count)
                break;
            trunk = be32(p);
        }
        if (found != count)
            throw Damage{"seznam volných stránek má " + std::to_string(found) + " stránek místo " +
                         std::to_string(count)};
    }

    void everyPageUsed() const
    {
        for (std::uint32_t page = 1; page <= m_layout.pages; ++page) {
            if (!m_seen[page])
                throw at(page, "stránka se nepoužívá");
        }
    }

private:
    std::size_t pageOffset(std::uint32_t page) const
    {
        return static_cast<std::size_t>(page - 1) * m_layout.pageSize;
    }

    // Each page belongs to one place only: a page reached twice is a damaged
    // link (and would make the walk go round for ever).
    void claim(std::uint32_t page, const char* from)
    {
        if (page < 1 || page > m_layout.pages)
            throw Damage{std::string(from) + " odkazuje na stránku " + std::to_string(page) + " mimo soubor"};
        if (m_seen[page])
            throw at(page, std::string("použita dvakrát (") + from + ")");
        m_seen[page] = true;
    }

    // A variable-length number inside the page; false when it runs past it.
    static bool varint(const unsigned char*& p, const unsigned char* end, std::uint64_t& value)
    {
        value = 0;
        for (int i = 0; i < 9; ++i) {
            if (p >= end)
                return false;
            const unsigned char byte = *p++;
            if (i == 8) {
                value = (value << 8) | byte;
                return true;
            }
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0)
                return true;
        }
        return true;
    }

    // The bytes of a payload kept on its own page; the rest goes to overflow pages.
    std::uint64_t localBytes(std::uint64_t payload, bool tableLeaf) const
    {
        const std::uint64_t usable = m_layout.usable;
        const std::uint64_t most = tableLeaf ? usable - 35 : (usable - 12) * 64 / 255 - 23;
        if (payload <= most)
            return payload;
        const std::uint64_t least = (usable - 12) * 32 / 255 - 23;
        const std::uint64_t local = least + (payload - least) % (usable - 4);
        return local <= most ? local : least;
    }

    void overflow(std::uint32_t first, std::uint64_t bytes)
    {
        const std::uint64_t perPage = m_layout.usable - 4;
        std::uint64_t needed = (bytes + perPage - 1) / perPage;
        std::uint32_t next = first;
        while (needed-- > 0) {
            claim(next, "přetečení záznamu");
            next = be32(m_file + pageOffset(next));
        }
    }

    void page(std::uint32_t number, bool table, int depth, int& leafDepth)
    {
        if (depth > 40)
            throw at(number, "strom je příliš hluboký");
        claim(number, "strom");
        const unsigned char* start = m_file + pageOffset(number);
        const std::uint32_t headerAt = number == 1 ? 100 : 0;
        const unsigned char* header = start + headerAt;
        const unsigned char type = header[0];
        const bool leaf = type == 0x0A || type == 0x0D;
        const bool known = table ? (type == 0x05 || type == 0x0D) : (type == 0x02 || type == 0x0A);
        if (!known)
            throw at(number, "neznámý druh stránky " + std::to_string(type));
        const std::uint32_t cells = be16(header + 3);
        std::uint32_t content = be16(header + 5);
        if (content == 0)
            content = 65536;
        const std::uint32_t pointersEnd = headerAt + (leaf ? 8 : 12) + 2 * cells;
        if (pointersEnd > content || content > m_layout.usable)
            throw at(number, "počet buněk neodpovídá stránce");
        const unsigned char* end = start + m_layout.usable;

        if (leaf) {
            if (leafDepth < 0)
                leafDepth = depth;
            else if (leafDepth != depth)
                throw at(number, "listy stromu jsou v různé hloubce");
        }
        for (std::uint32_t i = 0; i < cells; ++i) {
            const std::uint32_t offset = be16(header + (leaf ? 8 : 12) + 2 * i);
            if (offset < content || offset >= m_layout.usable)
                throw at(number, "buňka " + std::to_string(i) + " leží mimo obsah stránky");
            const unsigned char* cell = start + offset;
            if (!leaf) {
                if (cell + 4 > end)
                    throw at(number, "buňka " + std::to_string(i) + " přesahuje stránku");
                page(be32(cell), table, depth + 1, leafDepth);
                cell += 4;
                if (table) {
                    std::uint64_t key = 0;
                    if (!varint(cell, end, key))
                        throw at(number, "buňka " + std::to_string(i) + " přesahuje stránku");
                    continue;
                }
            }
            std::uint64_t payload = 0;
            std::uint64_t key = 0;
            if (!varint(cell, end, payload) || (table && !varint(cell, end, key)))
                throw at(number, "buňka " + std::to_string(i) + " přesahuje stránku");
            const std::uint64_t local = localBytes(payload, table);
            const std::uint64_t room = static_cast<std::uint64_t>(end - cell);
            if (local > room || (local < payload && local + 4 > room))
                throw at(number, "buňka " + std::to_string(i) + " přesahuje stránku");
            if (local < payload)
                overflow(be32(cell + local), payload - local);
        }
        if (!leaf)
            page(be32(header + 8), table, depth + 1, leafDepth);
    }

    const unsigned char* m_file;
    Layout m_layout;
    std::vector<bool> m_seen;
};

// The root pages of the file's tables and indexes, as its schema names them.
std::vector<std::uint32_t> rootPages(const std::filesystem::path& file, std::string& problem, bool& readable)
{
    std::vector<std::uint32_t> roots;
    sqlite3* db = nullptr;
    readable = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK;
    sqlite3_stmt* statement = nullptr;
    int rc = readable ? sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE rootpage > 0", -1,
                                           &statement, nullptr)
                      : SQLITE_CANTOPEN;
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            roots.push_back(static_cast<std::uint32_t>(sqlite3_column_int64(statement, 0)));
    }
    const int code = rc & 0xFF;
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)
        problem = sqlite3_errmsg(db);
    else if (rc != SQLITE_DONE)
        readable = false;
    sqlite3_finalize(statement);
    sqlite3_close_v2(db);
    return roots;
}

class Mapping {
public:
    Mapping(int fd, std::size_t size) : m_size(size)
    {
        // Mapped at once: a fault per page cost more than the walk itself.
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
        m_data = map == MAP_FAILED ? nullptr : static_cast<const unsigned char*>(map);
    }
    ~Mapping()
    {
        if (m_data)
            ::munmap(const_cast<unsigned char*>(m_data), m_size);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    const unsigned char* data() const { return m_data; }

private:
    const unsigned char* m_data = nullptr;
    std::size_t m_size;
};

} // namespace

std::string checkTablePages(const std::filesystem::path& file)
{
    const std::string table = file.filename().string();
    const auto damaged = [&table](const std::string& problem) {
        return failureText(StoreError::Kind::Damaged, Operation::Check, table, {}, problem);
    };
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {}; // not there or not readable: opening the table says why
    struct stat status {};
    const bool stated = ::fstat(fd, &status) == 0;
    const auto size = stated ? static_cast<std::uint64_t>(status.st_size) : 0;
    unsigned char header[100] = {};
    const bool headed = size >= 100 && ::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);

    Layout layout;
    layout.pageSize = headed ? be16(header + 16) : 0;
    if (layout.pageSize == 1)
        layout.pageSize = 65536;
    const bool plainFormat =
        headed && std::memcmp(header, "SQLite format 3", 16) == 0 && layout.pageSize >= 512 &&
        (layout.pageSize & (layout.pageSize - 1)) == 0 && header[18] == 1 && header[19] == 1 && header[20] < 32 &&
        be32(header + 52) == 0 /* no pointer-map pages */ && size < (std::uint64_t{1} << 30) /* no lock page */;
    if (!plainFormat) {
        ::close(fd);
        // Another journal mode, automatic compaction or a size past the lock
        // page: the engine's own check knows those; a file that is no table
        // file at all is said by it as well.
        return checkTableFile(file);
    }
    layout.usable = layout.pageSize - header[20];
    const std::uint32_t recorded = be32(header + 28);
    layout.pages = recorded != 0 && be32(header + 24) == be32(header + 92)
                       ? recorded
                       : static_cast<std::uint32_t>(size / layout.pageSize);
    if (static_cast<std::uint64_t>(layout.pages) * layout.pageSize > size) {
        ::close(fd);
        return damaged("soubor je kratší než jeho " + std::to_string(layout.pages) + " stránek");
    }

    std::string problem;
    bool readable = true;
    const std::vector<std::uint32_t> roots = rootPages(file, problem, readable);
    if (!problem.empty()) {
        ::close(fd);
        return damaged(problem);
    }
    if (!readable) {
        ::close(fd);
        return {};
    }
    const Mapping mapping(fd, static_cast<std::size_t>(layout.pages) * layout.pageSize);
    ::close(fd);
    if (!mapping.data())
        return checkTableFile(file);
    try {
        PageWalk walk(mapping.data(), layout);
        walk.tree(1);
        for (const std::uint32_t root : roots)
            walk.tree(root);
        walk.freelist(be32(header + 32), be32(header + 36));
        walk.everyPageUsed();
    } catch (const Damage& damage) {
        return damaged(damage.text);
    }
    return {};
}

} // namespace store
