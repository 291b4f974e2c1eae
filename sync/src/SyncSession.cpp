#include "sync/SyncSession.h"

#include "sync/ContactsSide.h"
#include "sync/SyncState.h"

#include "SyncTexts.h"

namespace davsync {

Collection chooseCollection(DavClient& client, CollectionKind kind, const QString& savedPath, const QString& wanted,
                            const QString& defaultName)
{
    const std::vector<Collection> found = client.discover(kind);
    if (wanted.isEmpty() && !savedPath.isEmpty()) {
        for (const Collection& collection : found)
            if (collection.path == savedPath)
                return collection;
    }
    if (!wanted.isEmpty()) {
        for (const Collection& collection : found)
            if (collection.displayName == wanted || collection.path == wanted)
                return collection;
        return client.create(kind, wanted);
    }
    if (found.size() == 1)
        return found.front();
    if (found.empty())
        return client.create(kind, defaultName);
    QStringList names;
    for (const Collection& collection : found)
        names.append(QStringLiteral("„%1“").arg(collection.displayName.isEmpty() ? collection.path : collection.displayName));
    throw SyncError((kind == CollectionKind::AddressBook ? texts::kSeveralBooks : texts::kSeveralCalendars)
                        .arg(names.join(QStringLiteral(", "))));
}

SessionResult syncContacts(store::Database& database, DavClient& client, const SyncSettings& settings,
                           const QString& wantedBook, SyncDecisions& decisions, const SyncProgress& progress)
{
    SessionResult result;
    result.addressBook =
        chooseCollection(client, CollectionKind::AddressBook, settings.addressBook, wantedBook, texts::kDefaultBookName);
    ContactsSide side(database);
    SyncEngine engine(client, side, database, result.addressBook, decisions);
    engine.setProgress(progress);
    result.report = engine.run();
    // Another address book chosen: the state of the old one means nothing now.
    SyncState::forgetOtherCollections(database, {SyncEngine::collectionId(client, result.addressBook)});
    result.requests = client.requestCount();
    return result;
}

QString summaryText(const SessionResult& result)
{
    const SyncReport& r = result.report;
    QString text = texts::kSummary.arg(result.addressBook.displayName.isEmpty() ? result.addressBook.path
                                                                                 : result.addressBook.displayName)
                       .arg(r.received)
                       .arg(r.sent)
                       .arg(r.deletedHere)
                       .arg(r.deletedThere);
    for (const QString& message : r.messages)
        text += QLatin1Char('\n') + message;
    return text;
}

} // namespace davsync
