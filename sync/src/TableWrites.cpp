#include "TableWrites.h"

#include "store/Cursor.h"

namespace davsync {

namespace {

// Rows per transaction when a sync brings many records at once.
constexpr std::size_t kBatch = 2000;

} // namespace

void applyWrites(store::Cursor& cursor, const std::vector<LocalWrite>& writes,
                 const std::function<QString(const Fields&)>& keyOf)
{
    for (const LocalWrite& write : writes) {
        const bool renamed = !write.remove && !write.oldKey.isEmpty() && keyOf(write.fields) != write.oldKey;
        if ((write.remove || renamed) && cursor.findKey(write.oldKey.toStdString()))
            cursor.remove();
    }
    std::vector<store::Cursor::RecordWrite> batch;
    const auto flush = [&] {
        if (!batch.empty())
            cursor.writeRecords(batch);
        batch.clear();
    };
    for (const LocalWrite& write : writes) {
        if (write.remove)
            continue;
        store::Cursor::RecordWrite record;
        const QString key = keyOf(write.fields);
        if (cursor.findKey(key.toStdString()))
            record.replaces = cursor.getBookmark();
        for (const QString& field : write.fields)
            record.texts.push_back(field.toStdString());
        batch.push_back(std::move(record));
        if (batch.size() == kBatch)
            flush();
    }
    flush();
}

} // namespace davsync
