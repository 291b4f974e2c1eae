#include "sync/SyncEngine.h"

#include "sync/ContactCard.h"
#include "sync/SyncState.h"

#include "SyncTexts.h"

#include <QSet>
#include <QUuid>

#include <map>
#include <set>

namespace davsync {

namespace {

// A sync whose writes the server refused because the items changed meanwhile
// starts over with what the server has now; this often, then it gives up.
constexpr int kMaxRounds = 3;
// Items sent between two writes of the state: the intents of a batch are
// stored in one transaction before it goes out, the results in one after.
constexpr std::size_t kUploadBatch = 50;

// The fields but the key, for finding a record the user renamed here.
QString restHash(const LocalSide& side, const Fields& fields)
{
    Fields rest = side.withKey(fields, QString());
    bool any = false;
    for (const QString& field : rest)
        any = any || !field.trimmed().isEmpty();
    return any ? fieldsHash(rest) : QString();
}

QString capitalised(const QString& word)
{
    return word.isEmpty() ? word : word.left(1).toUpper() + word.mid(1);
}

struct ServerItem {
    QString path;
    QByteArray etag;
    QByteArray body;
    MappedItem mapped;
};

struct Upload {
    QString path;
    QString key;
    QString uid;
    Fields fields;
    QByteArray body;
    QByteArray ifMatch; // empty: a new item
};

} // namespace

SyncEngine::SyncEngine(DavClient& client, LocalSide& side, store::Database& database, Collection collection,
                       SyncDecisions& decisions)
    : m_client(client), m_side(side), m_database(database), m_collection(std::move(collection)),
      m_decisions(decisions)
{
}

QString SyncEngine::collectionId(const DavClient& client, const Collection& collection)
{
    return client.urlOf(collection.path).toString(QUrl::RemoveUserInfo);
}

void SyncEngine::report(const QString& label, qint64 done, qint64 total)
{
    if (m_progress && !m_progress(label, done, total))
        throw SyncCancelled();
}

SyncReport SyncEngine::run()
{
    SyncReport result;
    for (int round = 0; round < kMaxRounds; ++round)
        if (!runRound(result))
            return result;
    throw SyncError(texts::kPreconditionLoop);
}

bool SyncEngine::runRound(SyncReport& result)
{
    const QString word = m_side.itemWord();
    SyncState state(m_database, collectionId(m_client, m_collection));
    const bool firstSync = state.isEmpty();

    // 1. What the server has changed: listed, then fetched. Nothing is written yet.
    report(texts::kLooking, 0, 0);
    const ServerChanges changes = m_client.changesSince(m_collection, state.token());
    QSet<QString> removed(changes.removed.begin(), changes.removed.end());
    QSet<QString> present;
    QStringList toFetch;
    for (const auto& [path, etag] : changes.present) {
        present.insert(path);
        removed.remove(path);
        const StateItem* known = state.find(path);
        if (!known || known->etag != etag || etag.isEmpty())
            toFetch.append(path);
    }
    if (changes.full)
        for (const auto& [path, item] : state.items())
            if (!present.contains(path))
                removed.insert(path);

    std::map<QString, ServerItem> fetched;
    report(texts::kDownloading, 0, toFetch.size());
    for (qsizetype at = 0; at < toFetch.size(); at += 500) {
        for (DavEntry& entry : m_client.multiget(m_collection, toFetch.mid(at, 500))) {
            QString error;
            std::optional<MappedItem> mapped = m_side.map(entry.data, &error);
            if (!mapped) {
                // Left alone on the server and here; the user hears why.
                result.messages.append(texts::kBadItem.arg(entry.path, error));
                continue;
            }
            fetched[entry.path] = ServerItem{entry.path, entry.etag, entry.data, std::move(*mapped)};
        }
        report(texts::kDownloading, std::min<qint64>(at + 500, toFetch.size()), toFetch.size());
    }

    // 2. What changed here since the last sync.
    std::map<QString, Fields> local = m_side.records();
    std::set<QString> taken;
    for (const auto& [key, fields] : local)
        taken.insert(m_side.foldKey(key));
    std::set<QString> claimed; // local keys that belong to a state item
    for (const auto& [path, item] : state.items())
        if (!item.attached && local.contains(item.key))
            claimed.insert(item.key);

    // Records not known to the last sync, by their fields but the key: a
    // known record renamed here is one of them.
    std::map<QString, std::vector<QString>> newByRest;
    for (const auto& [key, fields] : local)
        if (!claimed.contains(key))
            newByRest[restHash(m_side, fields)].push_back(key);

    // The fields both sides agreed on, from the state's copy of the server's item.
    const auto agreed = [&](const StateItem& item) -> std::optional<Fields> {
        std::optional<MappedItem> mapped = m_side.map(item.body, nullptr);
        if (!mapped)
            return std::nullopt;
        return m_side.withKey(mapped->fields, item.key);
    };

    std::vector<LocalWrite> localWrites;
    std::vector<StateItem> incoming;   // state written before the local writes
    QStringList dropped;               // state items to forget after them
    std::vector<Upload> uploads;
    std::vector<StateItem> deletes;
    std::vector<Conflict> conflicts;
    std::vector<std::pair<StateItem, ServerItem>> conflictItems;

    // The key a server item gets here: the one it has, while it still comes
    // from the server's name; else a free one.
    const auto keyFor = [&](const QString& current, const Fields& serverFields) {
        const QString wanted = m_side.keyOf(serverFields);
        if (!current.isEmpty() && m_side.keyCameFrom(current, wanted))
            return current;
        if (!current.isEmpty())
            taken.erase(m_side.foldKey(current));
        const QString key = m_side.freeKey(wanted, taken);
        taken.insert(m_side.foldKey(key));
        return key;
    };
    // The record of a key as this sync leaves it: a write queued for it wins.
    std::map<QString, Fields> after;
    bool joinedAny = false;
    const auto recordOf = [&](const QString& key) -> std::optional<Fields> {
        for (const auto& [folded, fields] : after)
            if (folded == m_side.foldKey(key))
                return fields;
        for (const auto& [here, fields] : local)
            if (m_side.foldKey(here) == m_side.foldKey(key))
                return fields;
        return std::nullopt;
    };
    const auto queue = [&](const LocalWrite& write) {
        localWrites.push_back(write);
        if (!write.remove)
            after[m_side.foldKey(m_side.keyOf(write.fields))] = write.fields;
    };
    const auto takeInAs = [&](const StateItem* known, const ServerItem& server, bool present, const QString& key) {
        StateItem item;
        item.path = server.path;
        item.uid = server.mapped.uid;
        item.etag = server.etag;
        item.body = server.body;
        item.key = key;
        const Fields fields = m_side.withKey(server.mapped.fields, item.key);
        item.hash = fieldsHash(fields);
        item.pending = Pending::Incoming;
        incoming.push_back(item);
        queue({present && known ? known->key : QString(), fields, false});
        ++result.received;
    };
    // A server item for a day that has its entry already: its text is added
    // to that entry, and the item, now part of the entry, goes from the
    // server unless it holds more than the text (a time, an alarm, a series).
    const auto join = [&](const StateItem* known, const ServerItem& server) {
        const QString wanted = m_side.keyOf(server.mapped.fields);
        const std::optional<Fields> current = recordOf(wanted);
        if (!current) {
            takeInAs(known, server, false, wanted);
            return;
        }
        const QString key = m_side.keyOf(*current);
        const Fields arriving = m_side.withKey(server.mapped.fields, key);
        const Fields merged = m_side.joined(*current, arriving);
        if (merged != *current) {
            queue({key, merged, false});
            if (local.contains(key))
                local[key] = merged; // a record new to the server goes up with the text
        }
        StateItem item{server.path, key, server.mapped.uid, server.etag, fieldsHash(arriving), Pending::Incoming,
                       server.body, true};
        incoming.push_back(item);
        if (!m_side.staysWhenJoined(server.body) && m_side.holds(merged, arriving)) {
            item.pending = Pending::None;
            deletes.push_back(item);
        }
        joinedAny = true;
        ++result.received;
    };
    const auto takeIn = [&](const StateItem* known, const ServerItem& server, bool present) {
        const QString key = keyFor(known ? known->key : QString(), server.mapped.fields);
        if (!key.isEmpty()) {
            takeInAs(known, server, present, key);
            return;
        }
        // Moved there to a day that has an entry: it leaves its old day.
        if (known && present)
            queue({known->key, {}, true});
        join(known, server);
    };
    // An item this program never rewrites keeps the change here to this side.
    const auto keepHere = [&](const StateItem& known, const std::optional<Fields>& fields) {
        StateItem kept = known;
        kept.pending = Pending::None;
        if (fields) {
            kept.key = m_side.keyOf(*fields);
            kept.hash = fieldsHash(*fields);
        } else {
            kept.attached = true; // gone here, left as it is there
        }
        incoming.push_back(kept);
    };
    const auto deleteThere = [&](const StateItem& known) {
        if (m_side.readOnly(known.body))
            keepHere(known, std::nullopt);
        else
            deletes.push_back(known);
    };
    // The card as written may read back with more than the record had (a
    // telephone that had no room before fits now): the record takes it, or
    // the next edit here would drop it from the card.
    const auto settle = [&](Upload& upload, const QString& oldKey) {
        std::optional<MappedItem> mapped = m_side.map(upload.body, nullptr);
        if (!mapped)
            return;
        const Fields readBack = m_side.withKey(mapped->fields, upload.key);
        if (readBack == upload.fields)
            return;
        upload.fields = readBack;
        queue({local.contains(oldKey) ? oldKey : upload.key, readBack, false});
    };
    const auto sendUp = [&](const StateItem& known, const Fields& fields, const QByteArray& base, const QByteArray& etag) {
        if (m_side.readOnly(base.isEmpty() ? known.body : base)) {
            StateItem current = known;
            if (!base.isEmpty()) {
                current.body = base;
                current.etag = etag;
            }
            keepHere(current, fields);
            return;
        }
        Upload upload;
        upload.path = known.path;
        upload.key = m_side.keyOf(fields);
        upload.uid = known.uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : known.uid;
        upload.fields = fields;
        upload.body = m_side.write(fields, upload.uid, base, known.key);
        upload.ifMatch = etag;
        settle(upload, known.key);
        uploads.push_back(std::move(upload));
    };

    for (const auto& [path, known] : state.items()) {
        if (known.attached) {
            const auto server = fetched.find(path);
            if (removed.contains(path)) {
                dropped.append(path);
            } else if (known.pending == Pending::Deleting) {
                deletes.push_back(known);
            } else if (server != fetched.end() &&
                       fieldsHash(m_side.withKey(server->second.mapped.fields, known.key)) != known.hash) {
                join(&known, server->second);
            } else if (server != fetched.end() || known.pending == Pending::Incoming) {
                // Our own view of it, or a join the last sync did not finish.
                StateItem seen = known;
                if (server != fetched.end()) {
                    seen.etag = server->second.etag;
                    seen.body = server->second.body;
                }
                if (const std::optional<MappedItem> mapped = m_side.map(seen.body, nullptr);
                    mapped && known.pending == Pending::Incoming)
                    join(&known, ServerItem{path, seen.etag, seen.body, *mapped});
                else {
                    seen.pending = Pending::None;
                    incoming.push_back(seen);
                }
            }
            continue;
        }
        const auto here = local.find(known.key);
        std::optional<Fields> localFields;
        if (here != local.end())
            localFields = here->second;
        if (!localFields && known.pending != Pending::Incoming) {
            // Renamed here: the only new record with the same other fields.
            if (const std::optional<Fields> before = agreed(known)) {
                auto candidates = newByRest.find(restHash(m_side, *before));
                if (candidates != newByRest.end() && candidates->second.size() == 1) {
                    localFields = local.at(candidates->second.front());
                    claimed.insert(candidates->second.front());
                    newByRest.erase(candidates);
                    taken.erase(m_side.foldKey(known.key));
                }
            }
        }
        const bool localDeleted = !localFields || known.pending == Pending::Deleting;
        const bool localChanged = localFields && known.pending != Pending::Deleting &&
                                  (known.pending == Pending::Outgoing || fieldsHash(*localFields) != known.hash);
        // A local key that changed (renamed here) is written under the new key.
        const bool present = here != local.end();

        if (removed.contains(path)) {
            if (localDeleted || known.pending == Pending::Incoming) {
                if (present && !localDeleted) {
                    queue({known.key, {}, true});
                    ++result.deletedHere;
                }
                dropped.append(path);
            } else if (localChanged) {
                result.messages.append(texts::kSentAgain.arg(capitalised(word), m_side.keyOf(*localFields)));
                sendUp(known, *localFields, known.body, QByteArray());
            } else {
                queue({known.key, {}, true});
                dropped.append(path);
                ++result.deletedHere;
            }
            continue;
        }

        const auto server = fetched.find(path);
        if (server != fetched.end()) {
            const ServerItem& item = server->second;
            const QString key = m_side.keyCameFrom(known.key, m_side.keyOf(item.mapped.fields))
                                    ? known.key
                                    : m_side.keyOf(item.mapped.fields);
            const Fields serverFields = m_side.withKey(item.mapped.fields, key);
            const bool serverChanged = fieldsHash(serverFields) != known.hash || known.pending == Pending::Incoming;
            if (!serverChanged) {
                // Only what has no field here changed (or it is our own
                // upload coming back): a new base for what is sent.
                StateItem refreshed = known;
                refreshed.etag = item.etag;
                refreshed.body = item.body;
                refreshed.uid = item.mapped.uid.isEmpty() ? known.uid : item.mapped.uid;
                // Our own upload that the last sync did not see come back
                // is no change here.
                const bool edited = localFields && fieldsHash(*localFields) != known.hash;
                if (localDeleted) {
                    deleteThere(refreshed);
                } else if (edited) {
                    refreshed.pending = Pending::None;
                    sendUp(refreshed, *localFields, item.body, item.etag);
                } else {
                    refreshed.pending = Pending::None;
                    incoming.push_back(refreshed);
                }
                continue;
            }
            if (localDeleted && present) {
                takeIn(&known, item, true);
            } else if (localDeleted) {
                result.messages.append(texts::kComesBack.arg(capitalised(word), m_side.keyOf(serverFields)));
                takeIn(&known, item, false);
            } else if (localChanged && *localFields != serverFields && known.pending != Pending::Incoming) {
                conflicts.push_back({known.key, *localFields, serverFields});
                conflictItems.emplace_back(known, item);
            } else if (localChanged) {
                // Both sides made the same change (or our own upload came back).
                StateItem same = known;
                same.etag = item.etag;
                same.body = item.body;
                same.key = m_side.keyOf(*localFields);
                same.hash = fieldsHash(*localFields);
                same.pending = Pending::None;
                incoming.push_back(same);
                if (!present)
                    queue({known.key, *localFields, false});
            } else {
                takeIn(&known, item, present);
            }
            continue;
        }

        if (known.pending == Pending::Incoming && (!present || fieldsHash(here->second) != known.hash)) {
            // A server change that was being written here when the last sync stopped.
            std::optional<MappedItem> mapped = m_side.map(known.body, nullptr);
            if (mapped) {
                const Fields fields = m_side.withKey(mapped->fields, known.key);
                queue({present ? known.key : QString(), fields, false});
                StateItem done = known;
                done.pending = Pending::None;
                incoming.push_back(done);
            }
        } else if (localDeleted) {
            deleteThere(known);
        } else if (localChanged) {
            sendUp(known, *localFields, known.body, known.etag);
        } else if (known.pending == Pending::Incoming) {
            StateItem done = known;
            done.pending = Pending::None;
            incoming.push_back(done);
        }
    }

    // 3. Server items new to this side.
    std::vector<Pair> pairs;
    std::vector<std::pair<QString, ServerItem>> pairedItems; // local key, item
    for (const auto& [path, item] : fetched) {
        if (state.find(path))
            continue;
        // The same record made on both sides, or a sync stopped between
        // writing a record here and remembering it: nothing to ask.
        const Fields asIs = item.mapped.fields;
        const QString wanted = m_side.keyOf(asIs);
        auto candidates = newByRest.find(restHash(m_side, asIs));
        bool matched = false;
        if (candidates != newByRest.end()) {
            for (auto it = candidates->second.begin(); it != candidates->second.end(); ++it) {
                if (m_side.keyCameFrom(*it, wanted)) {
                    StateItem same{path, *it, item.mapped.uid, item.etag, fieldsHash(m_side.withKey(asIs, *it)),
                                   Pending::None, item.body};
                    incoming.push_back(same);
                    claimed.insert(*it);
                    candidates->second.erase(it);
                    matched = true;
                    break;
                }
            }
        }
        if (matched)
            continue;
        if (firstSync && !m_side.joins()) {
            // The same person here, by surname and first name.
            const Fields* found = nullptr;
            for (const auto& [key, fields] : local) {
                if (claimed.contains(key) || m_side.foldKey(key) != m_side.foldKey(wanted))
                    continue;
                if (fields.size() > 1 && asIs.size() > 1 && fields[1].trimmed() != asIs[1].trimmed())
                    continue;
                found = &fields;
                break;
            }
            if (found) {
                const QString key = m_side.keyOf(*found);
                claimed.insert(key);
                for (auto& [rest, keys] : newByRest)
                    keys.erase(std::remove(keys.begin(), keys.end(), key), keys.end());
                pairs.push_back({*found, asIs});
                pairedItems.emplace_back(key, item);
                continue;
            }
        }
        takeIn(nullptr, item, false);
    }

    // 4. Records new to the server.
    std::vector<Fields> fresh;
    for (const auto& [rest, keys] : newByRest)
        for (const QString& key : keys)
            if (!claimed.contains(key))
                fresh.push_back(local.at(key));

    // 5. The user's word on pairs and conflicts, before anything is written.
    if (!pairs.empty() && !m_decisions.confirmPairs(m_side, pairs))
        throw SyncCancelled();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto& [key, item] = pairedItems[i];
        const Fields serverFields = m_side.withKey(item.mapped.fields, key);
        StateItem paired{item.path, key, item.mapped.uid, item.etag, fieldsHash(serverFields), Pending::None, item.body};
        if (serverFields == pairs[i].local) {
            incoming.push_back(paired);
        } else {
            conflicts.push_back({key, pairs[i].local, serverFields});
            conflictItems.emplace_back(paired, item);
        }
    }
    if (!conflicts.empty()) {
        const std::vector<Choice> choices = m_decisions.resolve(m_side, conflicts);
        for (std::size_t i = 0; i < conflicts.size(); ++i) {
            const Choice choice = i < choices.size() ? choices[i] : Choice::Server;
            const auto& [known, item] = conflictItems[i];
            if (choice == Choice::Server) {
                result.messages.append(texts::kConflictServerKept.arg(capitalised(word), conflicts[i].key,
                                                                      m_side.describe(conflicts[i].local)));
                const bool present = local.contains(known.key);
                takeIn(&known, item, present);
            } else {
                result.messages.append(texts::kConflictLocalKept.arg(capitalised(word), conflicts[i].key,
                                                                     m_side.describe(conflicts[i].server)));
                StateItem base = known;
                base.etag = item.etag;
                base.body = item.body;
                sendUp(base, conflicts[i].local, item.body, item.etag);
            }
        }
    }

    // 6. This side: the state's intent first, then the table, then the state done.
    report(texts::kSaving, 0, 0);
    state.write(incoming);
    m_side.apply(localWrites);
    for (StateItem& item : incoming)
        item.pending = Pending::None;
    state.write(incoming);
    state.remove(dropped);

    // 7. The server.
    for (const Fields& fields : fresh) {
        StateItem item;
        item.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        item.path = childPath(m_collection.path, item.uid + m_side.extension());
        item.key = m_side.keyOf(fields);
        Upload upload{item.path, item.key, item.uid, fields, m_side.write(fields, item.uid, {}, {}), {}};
        uploads.push_back(std::move(upload));
    }
    bool again = false;
    const qint64 total = static_cast<qint64>(uploads.size() + deletes.size());
    qint64 done = 0;
    report(texts::kUploading, 0, total);
    QStringList refetch;
    for (std::size_t at = 0; at < uploads.size(); at += kUploadBatch) {
        const std::size_t end = std::min(uploads.size(), at + kUploadBatch);
        std::vector<StateItem> intents;
        for (std::size_t i = at; i < end; ++i) {
            const Upload& upload = uploads[i];
            intents.push_back({upload.path, upload.key, upload.uid, upload.ifMatch, fieldsHash(upload.fields),
                               Pending::Outgoing, upload.body});
        }
        state.write(intents);
        std::vector<StateItem> results;
        QStringList moved;
        for (std::size_t i = at; i < end; ++i) {
            const Upload& upload = uploads[i];
            const std::optional<PutResult> put =
                m_client.put(upload.path, upload.body, m_side.contentType(), upload.ifMatch);
            report(texts::kUploading, ++done, total);
            if (!put) {
                again = true; // changed on the server meanwhile: the next round sees it
                continue;
            }
            StateItem item = intents[i - at];
            item.pending = Pending::None;
            item.etag = put->etag;
            if (put->path != item.path) {
                moved.append(item.path);
                item.path = put->path;
            }
            if (item.etag.isEmpty())
                refetch.append(item.path);
            results.push_back(std::move(item));
            ++result.sent;
        }
        state.write(results);
        state.remove(moved);
    }
    for (StateItem item : deletes) {
        item.pending = Pending::Deleting;
        state.write({item});
        if (m_client.remove(item.path, item.etag)) {
            state.remove({item.path});
            ++result.deletedThere;
        } else {
            again = true;
        }
        report(texts::kUploading, ++done, total);
    }

    // 8. Items the server gave no version for, or may have rewritten.
    if (!refetch.isEmpty()) {
        std::vector<StateItem> updated;
        std::vector<LocalWrite> rewritten;
        for (const DavEntry& entry : m_client.multiget(m_collection, refetch)) {
            const StateItem* known = state.find(entry.path);
            std::optional<MappedItem> mapped = m_side.map(entry.data, nullptr);
            if (!known || !mapped)
                continue;
            StateItem item = *known;
            item.etag = entry.etag;
            item.body = entry.data;
            item.uid = mapped->uid.isEmpty() ? item.uid : mapped->uid;
            const QString sameKey = m_side.keyCameFrom(item.key, m_side.keyOf(mapped->fields)) ? item.key : QString();
            if (fieldsHash(m_side.withKey(mapped->fields, sameKey.isEmpty() ? item.key : sameKey)) != item.hash) {
                QString key = keyFor(item.key, mapped->fields);
                if (key.isEmpty())
                    key = item.key;
                const Fields fields = m_side.withKey(mapped->fields, key);
                result.messages.append(texts::kRewritten.arg(word, item.key));
                rewritten.push_back({item.key, fields, false});
                item.key = key;
                item.hash = fieldsHash(fields);
            }
            updated.push_back(std::move(item));
        }
        state.write(updated);
        m_side.apply(rewritten);
    }

    if (!again)
        state.setToken(changes.token);
    // A joined entry goes up with its added text in the next round.
    return again || joinedAny;
}

} // namespace davsync
