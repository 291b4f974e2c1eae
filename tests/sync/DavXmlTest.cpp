// Reading the servers' multistatus answers as they really come.

#include "sync/DavXml.h"

#include <gtest/gtest.h>

using namespace davsync;

namespace {

// Radicale: default namespace, a 404 propstat beside the 200 one.
const QByteArray kRadicale =
    "<?xml version='1.0' encoding='utf-8'?>\n<multistatus xmlns=\"DAV:\" xmlns:CR=\"urn:ietf:params:xml:ns:carddav\">"
    "<response><href>/anna/kontakty/</href><propstat><prop><resourcetype><collection/><CR:addressbook/></resourcetype>"
    "<displayname>Kontakty</displayname><sync-token>http://radicale.org/ns/sync/abc</sync-token></prop>"
    "<status>HTTP/1.1 200 OK</status></propstat><propstat><prop><getetag/></prop><status>HTTP/1.1 404 Not Found</status>"
    "</propstat></response>"
    "<response><href>/anna/kontakty/a%20b.vcf</href><propstat><prop><getetag>\"e1\"</getetag></prop>"
    "<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>";

// Xandikos: prefixed names, status before the properties, and a
// supported-report without the <report> wrapper.
const QByteArray kXandikos =
    "<ns0:multistatus xmlns:ns0=\"DAV:\" xmlns:ns1=\"urn:ietf:params:xml:ns:carddav\"><ns0:response>"
    "<ns0:href>/user/contacts/addressbook/</ns0:href><ns0:propstat><ns0:status>HTTP/1.1 200 OK</ns0:status><ns0:prop>"
    "<ns0:resourcetype><ns0:collection /><ns1:addressbook /></ns0:resourcetype><ns0:displayname>addressbook</ns0:displayname>"
    "<ns0:supported-report-set><ns0:supported-report><ns0:sync-collection /></ns0:supported-report></ns0:supported-report-set>"
    "</ns0:prop></ns0:propstat></ns0:response></ns0:multistatus>";

// A sync report: one changed item, one deleted, the new token.
const QByteArray kSyncReport =
    "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>http://host/book/x.vcf</d:href><d:propstat><d:prop>"
    "<d:getetag>\"2\"</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
    "<d:response><d:href>y.vcf</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>"
    "<d:sync-token>tok-2</d:sync-token></d:multistatus>";

TEST(DavXml, readsEachServersFormOfTheSameAnswers)
{
    QString error;
    const std::optional<Multistatus> radicale = parseMultistatus(kRadicale, QStringLiteral("/anna/kontakty/"), &error);
    ASSERT_TRUE(radicale) << error.toStdString();
    ASSERT_EQ(radicale->entries.size(), 2u);
    EXPECT_TRUE(radicale->entries[0].isAddressBook);
    EXPECT_EQ(radicale->entries[0].displayName, QStringLiteral("Kontakty"));
    EXPECT_TRUE(radicale->entries[0].etag.isEmpty()) << "a 404 property is absent";
    EXPECT_EQ(radicale->entries[1].path, QStringLiteral("/anna/kontakty/a b.vcf"));
    EXPECT_EQ(radicale->entries[1].etag, QByteArray("\"e1\""));

    const std::optional<Multistatus> xandikos = parseMultistatus(kXandikos, QStringLiteral("/user/"), &error);
    ASSERT_TRUE(xandikos) << error.toStdString();
    ASSERT_EQ(xandikos->entries.size(), 1u);
    EXPECT_TRUE(xandikos->entries[0].isAddressBook);
    EXPECT_TRUE(xandikos->entries[0].reportsSyncCollection);

    const std::optional<Multistatus> report = parseMultistatus(kSyncReport, QStringLiteral("/book/"), &error);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->syncToken, QStringLiteral("tok-2"));
    ASSERT_EQ(report->entries.size(), 2u);
    EXPECT_EQ(report->entries[0].path, QStringLiteral("/book/x.vcf"));
    EXPECT_EQ(report->entries[1].path, QStringLiteral("/book/y.vcf")) << "relative hrefs resolve against the request";
    EXPECT_EQ(report->entries[1].status, 404);
}

TEST(DavXml, refusesWhatIsNoMultistatus)
{
    const char* const bodies[] = {
        "",
        "<html><body>Přihlášení</body></html>",
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/a</d:href>",
        "<multistatus><response/></multistatus>", // no DAV: namespace
    };
    for (const char* body : bodies) {
        QString error;
        EXPECT_FALSE(parseMultistatus(body, QStringLiteral("/"), &error)) << body;
        EXPECT_FALSE(error.isEmpty());
    }
    // Nesting without end is refused, not followed.
    QByteArray deep = "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:propstat><d:prop><d:resourcetype>";
    for (int i = 0; i < 100000; ++i)
        deep += "<x>";
    QString error;
    EXPECT_FALSE(parseMultistatus(deep, QStringLiteral("/"), &error));
}

} // namespace
