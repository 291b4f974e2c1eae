#include "sync/SyncState.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "store/Errors.h"

#include <QCryptographicHash>

#include <filesystem>

namespace davsync {

namespace {

enum Field { Id, Collection, Path, Key, Uid, Etag, Hash, Status, Token, Body, FieldCount };
const char* const kFields[FieldCount] = {"Položka", "Sbírka", "Adresa", "Klíč", "UID",
                                         "ETag",    "Otisk",  "Stav",   "Token", "Obsah"};

// The collection's own record is told apart by its state.
const QString kCollectionMark = QStringLiteral("sbírka");

const QString kPendingText[] = {QString(), QStringLiteral("příchozí"), QStringLiteral("odchozí"),
                                QStringLiteral("mazání")};

// An attached item's state ends in this mark.
const QChar kAttachedMark = QLatin1Char('+');

QString pendingText(const StateItem& item)
{
    return kPendingText[static_cast<int>(item.pending)] + (item.attached ? QString(kAttachedMark) : QString());
}

Pending pendingOf(QString text)
{
    if (text.endsWith(kAttachedMark))
        text.chop(1);
    for (int i = 1; i < 4; ++i)
        if (text == kPendingText[i])
            return static_cast<Pending>(i);
    return Pending::None;
}

// A key of fixed width and only small hex digits: the store compares text
// keys without regard to case, and paths that differ only in case must stay
// two items.
std::string idOf(const QString& collection, const QString& path)
{
    return QCryptographicHash::hash((collection + QLatin1Char('\n') + path).toUtf8(), QCryptographicHash::Sha1)
        .toHex()
        .toStdString();
}

std::string text(const store::Cursor& cursor, Field field)
{
    return cursor.text(kFields[field]);
}

QString qtext(const store::Cursor& cursor, Field field)
{
    return QString::fromStdString(text(cursor, field));
}

} // namespace

void ensureStateTable(store::Database& database)
{
    if (std::filesystem::exists(database.dataDir() / kStateTable))
        return;
    if (const store::TableDef* def = store::findTableDef(kStateTable))
        store::Database::createTable(database.dataDir(), *def, {});
}

SyncState::SyncState(store::Database& database, const QString& collectionUrl)
    : m_database(database), m_collection(collectionUrl)
{
    ensureStateTable(database);
    store::Cursor cursor(m_database, kStateTable);
    cursor.open();
    const std::string collection = m_collection.toStdString();
    for (cursor.first(); !cursor.eof(); cursor.next()) {
        if (text(cursor, Collection) != collection)
            continue;
        if (qtext(cursor, Status) == kCollectionMark) {
            m_token = qtext(cursor, Token);
            m_known = true;
            continue;
        }
        StateItem item;
        item.path = qtext(cursor, Path);
        item.key = qtext(cursor, Key);
        item.uid = qtext(cursor, Uid);
        item.etag = QByteArray::fromStdString(text(cursor, Etag));
        item.hash = qtext(cursor, Hash);
        item.pending = pendingOf(qtext(cursor, Status));
        item.attached = qtext(cursor, Status).endsWith(kAttachedMark);
        item.body = QByteArray::fromStdString(text(cursor, Body));
        m_items[item.path] = std::move(item);
    }
}

SyncState::~SyncState() = default;

const StateItem* SyncState::find(const QString& path) const
{
    const auto it = m_items.find(path);
    return it == m_items.end() ? nullptr : &it->second;
}

void SyncState::write(const std::vector<StateItem>& items)
{
    if (items.empty())
        return;
    store::Cursor cursor(m_database, kStateTable);
    cursor.open();
    std::vector<store::Cursor::RecordWrite> writes;
    writes.reserve(items.size());
    for (const StateItem& item : items) {
        store::Cursor::RecordWrite write;
        const std::string id = idOf(m_collection, item.path);
        if (cursor.findKey(id))
            write.replaces = cursor.getBookmark();
        write.texts = {id,
                       m_collection.toStdString(),
                       item.path.toStdString(),
                       item.key.toStdString(),
                       item.uid.toStdString(),
                       item.etag.toStdString(),
                       item.hash.toStdString(),
                       pendingText(item).toStdString(),
                       std::string(),
                       item.body.toStdString()};
        writes.push_back(std::move(write));
    }
    cursor.writeRecords(writes);
    for (const StateItem& item : items)
        m_items[item.path] = item;
}

void SyncState::remove(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    store::Cursor cursor(m_database, kStateTable);
    cursor.open();
    for (const QString& path : paths) {
        if (cursor.findKey(idOf(m_collection, path)))
            cursor.remove();
        m_items.erase(path);
    }
}

void SyncState::setToken(const QString& token)
{
    store::Cursor cursor(m_database, kStateTable);
    cursor.open();
    store::Cursor::RecordWrite write;
    const std::string id = idOf(m_collection, QString());
    if (cursor.findKey(id))
        write.replaces = cursor.getBookmark();
    write.texts = {id, m_collection.toStdString(), std::string(), std::string(), std::string(), std::string(),
                   std::string(), kCollectionMark.toStdString(), token.toStdString(), std::string()};
    cursor.writeRecords({write});
    m_token = token;
    m_known = true;
}

void SyncState::forgetOtherCollections(store::Database& database, const QStringList& kept)
{
    if (!std::filesystem::exists(database.dataDir() / kStateTable))
        return;
    store::Cursor cursor(database, kStateTable);
    cursor.open();
    cursor.first();
    while (!cursor.eof()) {
        if (kept.contains(qtext(cursor, Collection)))
            cursor.next();
        else
            cursor.remove();
    }
}

} // namespace davsync
