#include "sync/SyncSession.h"

#include "sync/ContactsSide.h"
#include "sync/NameDayCalendar.h"
#include "sync/PlannerSide.h"
#include "sync/SyncState.h"

#include "SyncTexts.h"

namespace davsync {

namespace {

QString shownName(const Collection& collection)
{
    return collection.displayName.isEmpty() ? collection.path : collection.displayName;
}

} // namespace

Collection chooseCollection(DavClient& client, CollectionKind kind, const QString& savedPath, const QString& wanted,
                            const QString& defaultName, const QStringList& others)
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
    std::vector<Collection> free;
    for (const Collection& collection : found)
        if (!others.contains(collection.path) && !others.contains(collection.displayName))
            free.push_back(collection);
    if (free.size() == 1)
        return free.front();
    if (free.empty())
        return client.create(kind, defaultName);
    QStringList names;
    for (const Collection& collection : free)
        names.append(QStringLiteral("„%1“").arg(shownName(collection)));
    throw SyncError((kind == CollectionKind::AddressBook ? texts::kSeveralBooks : texts::kSeveralCalendars)
                        .arg(names.join(QStringLiteral(", "))));
}

SessionResult runSession(store::Database& database, DavClient& client, const SyncSettings& settings,
                         const SessionChoices& choices, SyncDecisions& decisions, const SyncProgress& progress,
                         const QDateTime& stamp)
{
    SessionResult result;
    result.settings = settings;
    SyncSettings& saved = result.settings;
    QStringList kept;

    result.addressBook = chooseCollection(client, CollectionKind::AddressBook, settings.addressBook,
                                          choices.addressBook, texts::kDefaultBookName);
    saved.addressBook = result.addressBook.path;
    saved.addressBookName = result.addressBook.displayName;
    kept.append(SyncEngine::collectionId(client, result.addressBook));
    {
        ContactsSide side(database);
        SyncEngine engine(client, side, database, result.addressBook, decisions);
        engine.setProgress(progress);
        result.report = engine.run();
    }

    if (settings.planner || !choices.calendar.isEmpty()) {
        saved.planner = true;
        // The name-day calendar is never the planner's, whatever its count.
        QStringList others{settings.nameDaysName.isEmpty() ? kNameDayCalendarName : settings.nameDaysName};
        if (!settings.nameDaysCalendar.isEmpty())
            others.append(settings.nameDaysCalendar);
        // Never the phone's own calendar unless the user names it: a new
        // "Plánovač" when none is chosen.
        QString wanted = choices.calendar;
        if (wanted.isEmpty() && settings.calendar.isEmpty())
            wanted = settings.calendarName.isEmpty() ? texts::kDefaultCalendarName : settings.calendarName;
        const Collection calendar = chooseCollection(client, CollectionKind::Calendar, settings.calendar, wanted,
                                                     texts::kDefaultCalendarName, others);
        result.plannerCalendar = calendar;
        saved.calendar = calendar.path;
        saved.calendarName = calendar.displayName;
        kept.append(SyncEngine::collectionId(client, calendar));
        PlannerSide side(database, stamp);
        SyncEngine engine(client, side, database, calendar, decisions);
        engine.setProgress(progress);
        result.planner = engine.run();
    }

    if (settings.nameDays) {
        // Found by its place or its name only: never another calendar that
        // happens to be the only one.
        const QString wanted = settings.nameDaysName.isEmpty() ? kNameDayCalendarName : settings.nameDaysName;
        Collection calendar;
        bool found = false;
        for (const Collection& candidate : client.discover(CollectionKind::Calendar)) {
            if ((!settings.nameDaysCalendar.isEmpty() && candidate.path == settings.nameDaysCalendar) ||
                (!found && candidate.displayName == wanted)) {
                calendar = candidate;
                found = true;
            }
        }
        if (!found)
            calendar = client.create(CollectionKind::Calendar, wanted);
        result.nameDayCalendar = calendar;
        saved.nameDaysCalendar = calendar.path;
        saved.nameDaysName = calendar.displayName;
        kept.append(SyncEngine::collectionId(client, calendar));
        result.nameDays = uploadNameDays(client, calendar, database, stamp, progress);
    }

    // Another collection chosen: the state of the old one means nothing now.
    SyncState::forgetOtherCollections(database, kept);
    result.requests = client.requestCount();
    return result;
}

QString summaryText(const SessionResult& result)
{
    const SyncReport& r = result.report;
    QString text = texts::kSummary.arg(shownName(result.addressBook))
                       .arg(r.received)
                       .arg(r.sent)
                       .arg(r.deletedHere)
                       .arg(r.deletedThere);
    if (result.plannerCalendar) {
        const SyncReport& p = result.planner;
        text += QLatin1Char('\n') + texts::kPlannerSummary.arg(shownName(*result.plannerCalendar))
                                        .arg(p.received)
                                        .arg(p.sent)
                                        .arg(p.deletedHere)
                                        .arg(p.deletedThere);
    }
    if (result.nameDayCalendar)
        text += QLatin1Char('\n') + texts::kNameDaysSummary.arg(shownName(*result.nameDayCalendar))
                                        .arg(result.nameDays.sent)
                                        .arg(result.nameDays.deleted);
    for (const QString& message : r.messages + result.planner.messages)
        text += QLatin1Char('\n') + message;
    return text;
}

} // namespace davsync
