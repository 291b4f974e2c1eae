#include "platform/Fakes.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using platform::FakeToneOutput;
using platform::Sounded;
using platform::ToneList;

namespace {

// Fakes installed in a nested scope must give way to the outer ones again,
// or one test's fakes would leak into the next.
TEST(ScopedFakeServices, InstallsAllFakesAndRestoresThePrevious)
{
    const platform::Services before = platform::services();
    {
        platform::ScopedFakeServices outer;
        EXPECT_EQ(platform::services().clock, &outer.clock);
        EXPECT_EQ(platform::services().dialogs, &outer.dialogs);
        EXPECT_EQ(platform::services().tones, &outer.tones);
        EXPECT_EQ(platform::services().printer, &outer.printer);
        EXPECT_EQ(platform::services().processes, &outer.processes);
        EXPECT_EQ(platform::services().drives, &outer.drives);
        EXPECT_EQ(platform::services().paths, &outer.paths);
        EXPECT_EQ(platform::services().help, &outer.help);
        {
            platform::ScopedFakeServices inner;
            EXPECT_EQ(platform::services().clock, &inner.clock);
        }
        EXPECT_EQ(platform::services().clock, &outer.clock);
        EXPECT_EQ(platform::services().help, &outer.help);
    }
    EXPECT_EQ(platform::services().clock, before.clock);
    EXPECT_EQ(platform::services().dialogs, before.dialogs);
}

// The tick counter is 32 bits: advancing past its end must wrap, while the
// date-time goes on. A fake that saturated or drifted would hide wrap bugs.
TEST(FakeClock, AdvanceMovesDateTimeAndWrapsTheTickCounter)
{
    platform::FakeClock clock;
    clock.setNow(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)));
    clock.setTickCount(0xFFFFFF00u);
    clock.advanceMs(1000);
    EXPECT_EQ(clock.tickCount(), 1000u - 0x100u);
    EXPECT_EQ(clock.today(), QDate(2025, 1, 1));
    EXPECT_EQ(clock.now().time(), QTime(0, 0, 0));

    clock.advanceDays(59);
    EXPECT_EQ(clock.today(), QDate(2025, 3, 1));
    EXPECT_EQ(clock.tickCount(), static_cast<std::uint32_t>(1000u - 0x100u + 59ull * 86400000ull));

    clock.setToday(QDate(2024, 2, 29));
    EXPECT_EQ(clock.now(), QDateTime(QDate(2024, 2, 29), QTime(0, 0, 0)));
}

// A wait hint must move the clock by exactly what is missing (or by the set
// step), never by nothing, or a wait in a test would hang.
TEST(FakeClock, WaitHintJumpsOrStepsAndAlwaysProgresses)
{
    platform::FakeClock clock;
    clock.setTickCount(100);
    clock.waitHint(250);
    EXPECT_EQ(clock.tickCount(), 350u);
    clock.setWaitStep(10);
    clock.waitHint(25);
    EXPECT_EQ(clock.tickCount(), 360u);
    clock.waitHint(4);
    EXPECT_EQ(clock.tickCount(), 364u);
    clock.waitHint(0);
    EXPECT_EQ(clock.tickCount(), 365u);
    EXPECT_EQ(clock.waitHints(), 4);
}

struct SoundedCase {
    const char* name;
    std::function<void(FakeToneOutput&, platform::FakeClock&)> play;
    ToneList expected;
};

// The record other modules' tests assert on: tones with durations, pauses
// only between tones, a change of frequency ending one tone and starting the
// next, a repeated silence adding nothing.
TEST(FakeToneOutput, TurnsEventsIntoTonesAndPauses)
{
    const std::vector<SoundedCase> cases = {
        {"one tone",
         [](auto& t, auto& c) {
             t.toneOn(400);
             c.advanceMs(50);
             t.toneOff();
         },
         {{400, 50}}},
        {"silence before and after is left out",
         [](auto& t, auto& c) {
             c.advanceMs(30);
             t.toneOn(90);
             c.advanceMs(70);
             t.toneOff();
             c.advanceMs(70);
             t.toneOn(90);
             c.advanceMs(70);
             t.toneOff();
             t.toneOff();
             c.advanceMs(500);
         },
         {{90, 70}, {0, 70}, {90, 70}}},
        {"frequency change while sounding",
         [](auto& t, auto& c) {
             t.toneOn(400);
             c.advanceMs(10);
             t.toneOn(500);
             c.advanceMs(70);
             t.toneOff();
         },
         {{400, 10}, {500, 70}}},
        {"zero-length tone and no gap between tones",
         [](auto& t, auto&) {
             t.toneOn(400);
             t.toneOff();
             t.toneOn(500);
             t.toneOff();
         },
         {{400, 0}, {500, 0}}},
        {"a tone still sounding ends now",
         [](auto& t, auto& c) {
             t.toneOn(800);
             c.advanceMs(600);
         },
         {{800, 600}}},
        {"alerts are not tones",
         [](auto& t, auto& c) {
             t.beep();
             c.advanceMs(5);
             t.questionSound();
         },
         {}},
    };
    for (const SoundedCase& c : cases) {
        SCOPED_TRACE(c.name);
        platform::FakeClock clock;
        FakeToneOutput tones(&clock);
        c.play(tones, clock);
        EXPECT_EQ(tones.sounded(), c.expected);
    }
}

TEST(FakeToneOutput, CountsTheTwoAlertsApart)
{
    platform::FakeClock clock;
    FakeToneOutput tones(&clock);
    tones.beep();
    tones.beep();
    tones.questionSound();
    EXPECT_EQ(tones.beeps(), 2);
    EXPECT_EQ(tones.questionSounds(), 1);
    EXPECT_EQ(tones.events().last().kind, FakeToneOutput::Kind::QuestionSound);
}

// The recording canvas keeps pages apart and sorts each page top to bottom,
// so a report test can compare a page with its expected lines.
TEST(RecordingPrinter, RecordsTextsPerPageWithFixedMetrics)
{
    platform::RecordingPrinter printer;
    printer.setMetrics(7, 12, 700, 120);
    auto canvas = printer.begin(QStringLiteral("Adresář"));
    ASSERT_TRUE(canvas);
    EXPECT_EQ(canvas->textWidth(QStringLiteral("Příjmení")), 56);
    EXPECT_EQ(canvas->lineHeight(), 12);
    EXPECT_EQ(canvas->pageHeight(), 120);
    QFont bold(QStringLiteral("Arial"), 12);
    bold.setBold(true);
    canvas->setFont(bold);
    canvas->drawText(0, 12, QStringLiteral("druhý"));
    canvas->drawText(0, 0, QStringLiteral("první"));
    // Two line heights further down than a text line: one empty line between.
    canvas->drawText(0, 12 + 14 + 12, QStringLiteral("po prázdném"));
    canvas->newPage();
    canvas->drawText(10, 0, QStringLiteral("strana 2"));
    canvas->finish();

    const platform::PrintJob job = printer.lastJob();
    EXPECT_EQ(job.title, QStringLiteral("Adresář"));
    EXPECT_EQ(job.pages, 2);
    EXPECT_TRUE(job.finished);
    EXPECT_EQ(job.pageLines(1), (QStringList{"první", "druhý", "", "po prázdném"}));
    EXPECT_EQ(job.pageLines(2), (QStringList{"strana 2"}));
    EXPECT_TRUE(job.texts.first().font.bold());

    printer.setAvailable(false);
    EXPECT_EQ(printer.begin(QStringLiteral("x")), nullptr);
    EXPECT_EQ(printer.jobs().size(), 1);
    EXPECT_NE(printer.qprinter(), nullptr);
}

TEST(FakeProcessesAndDrives, RecordAndAnswerAsScripted)
{
    platform::FakeProcesses processes;
    EXPECT_TRUE(processes.startDetached("arj", {"a", "-va", "A:\\zaloha"}, "Data"));
    processes.setResult(false);
    EXPECT_FALSE(processes.startDetached("RELIDA.EXE", {}, {}));
    ASSERT_EQ(processes.started().size(), 2);
    EXPECT_EQ(processes.started()[0].commandLine(), "arj a -va A:\\zaloha");
    EXPECT_EQ(processes.started()[0].workingDirectory, "Data");

    platform::FakeDrives drives;
    EXPECT_EQ(drives.floppyFreeSpace(), std::nullopt);
    drives.setFloppyFreeSpace(1457664);
    EXPECT_EQ(drives.floppyFreeSpace(), 1457664);
}

// Temporary folders must exist (a test writes into them at once) and vanish
// with the object; the data folder is the working directory's Data.
TEST(TempPaths, CreatesFoldersAndRemovesThem)
{
    QString root;
    {
        platform::TempPaths paths;
        root = paths.root();
        for (const QString& dir :
             {paths.workDir(), paths.autostartDir(), paths.helpLocation(), paths.documentsDir()})
            EXPECT_TRUE(QFileInfo(dir).isDir()) << dir.toStdString();
        EXPECT_EQ(paths.dataDir(), QDir(paths.workDir()).filePath("Data"));
    }
    EXPECT_FALSE(QFileInfo::exists(root));
}

TEST(RecordingHelp, RecordsTopics)
{
    platform::RecordingHelp help;
    help.showTopic(10);
    help.showTopic(20);
    EXPECT_EQ(help.topics(), (QList<int>{10, 20}));
}

} // namespace
