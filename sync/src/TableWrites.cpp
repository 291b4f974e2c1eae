#include "TableWrites.h"

#include "store/Cursor.h"

#include <map>

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
    // A key written twice in one sync (a day made, then another event
    // joined to it) is one record: the later write replaces the earlier
    // one in the batch, which the table does not hold yet.
    std::map<QString, std::size_t> inBatch;
    const auto flush = [&] {
        if (!batch.empty())
            cursor.writeRecords(batch);
        batch.clear();
        inBatch.clear();
    };
    for (const LocalWrite& write : writes) {
        if (write.remove)
            continue;
        store::Cursor::RecordWrite record;
        const QString key = keyOf(write.fields);
        for (const QString& field : write.fields)
            record.texts.push_back(field.toStdString());
        if (const auto earlier = inBatch.find(key); earlier != inBatch.end()) {
            batch[earlier->second].texts = std::move(record.texts);
            continue;
        }
        if (cursor.findKey(key.toStdString()))
            record.replaces = cursor.getBookmark();
        inBatch[key] = batch.size();
        batch.push_back(std::move(record));
        if (batch.size() == kBatch)
            flush();
    }
    flush();
}

} // namespace davsync
