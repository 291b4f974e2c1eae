#pragma once

// Test doubles for every seam of Platform.h. A test usually needs only
//
//     platform::ScopedFakeServices fakes;          // installs all of them
//     fakes.dialogs.answerNext(platform::Button::No);
//     ... drive the window ...
//     EXPECT_EQ(fakes.dialogs.lastBox().caption, "Confirm");
//     EXPECT_EQ(fakes.tones.sounded(), (platform::ToneList{{400, 50}}));
//
// and the previous services come back when `fakes` goes out of scope.

#include "platform/Platform.h"

#include <QTemporaryDir>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

// A clock that moves only when told to. now() and tickCount() move together.
// Waits that poll the tick counter (ToneWait) call waitHint(), which moves the
// clock forward by itself, so melodies play in no real time and every tone
// lasts exactly its duration.
class FakeClock : public Clock {
public:
    FakeClock();

    QDate today() const override { return m_now.date(); }
    QDateTime now() const override { return m_now; }
    std::uint32_t tickCount() const override { return m_tick; }
    void waitHint(std::uint32_t remainingMs) override;

    void setNow(const QDateTime& now) { m_now = now; }
    void setToday(const QDate& date); // keeps the time of day
    void setTickCount(std::uint32_t tick) { m_tick = tick; }
    // Time passes: both the date-time and the tick counter (which wraps) move.
    void advanceMs(std::int64_t ms);
    void advanceDays(int days);

    // How far one waitHint() moves the clock: 0 (the default) jumps to the end
    // of the wait; n > 0 moves n ms per round, so a wait takes several rounds.
    void setWaitStep(std::uint32_t ms) { m_waitStep = ms; }
    int waitHints() const { return m_waitHints; }

private:
    QDateTime m_now;
    std::uint32_t m_tick = 1000;
    std::uint32_t m_waitStep = 0;
    int m_waitHints = 0;
};

// The answers a test scripts and the record of what was shown.
class FakeDialogs : public Dialogs {
public:
    // Message boxes: queued answers are used first; without one, a box that
    // offers Yes is answered Yes, otherwise OK (or its first button).
    Button show(const ShownBox& box) override;
    void answerNext(Button answer) { m_answers.push_back(answer); }
    // Called for every box instead of the queue when set (nested scripts).
    void setResponder(std::function<Button(const ShownBox&)> responder)
    {
        m_responder = std::move(responder);
    }
    const QList<ShownBox>& shown() const { return m_shown; }
    ShownBox lastBox() const { return m_shown.isEmpty() ? ShownBox{} : m_shown.last(); }
    QStringList shownTexts() const;
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }
    void clear();

    // Colour, font and file dialogs: scripted answers in order; an empty queue
    // means the user cancelled (nullopt).
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QString> openFileName(const QString& caption, const QString& dir,
                                        const QString& filter) override;
    std::optional<QString> saveFileName(const QString& caption, const QString& dir, const QString& filter,
                                        OverwriteQuestion question = OverwriteQuestion::Dialog) override;
    void answerNextColor(std::optional<QColor> colour) { m_colours.push_back(std::move(colour)); }
    void answerNextFont(std::optional<QFont> font) { m_fonts.push_back(std::move(font)); }
    void answerNextOpenFile(std::optional<QString> name) { m_openFiles.push_back(std::move(name)); }
    void answerNextSaveFile(std::optional<QString> name) { m_saveFiles.push_back(std::move(name)); }

    struct FileRequest {
        bool save = false;
        QString caption;
        QString dir;
        QString filter;
        OverwriteQuestion overwrite = OverwriteQuestion::Dialog; // of a save
    };
    const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    const QList<QColor>& colourRequests() const { return m_colourRequests; } // initial colours
    const QList<QFont>& fontRequests() const { return m_fontRequests; }      // initial fonts

    // Print and printer set-up dialogs: accepted unless told otherwise.
    bool print(QPrinter& printer, QWidget* parent) override;
    bool printerSetup(QPrinter& printer, QWidget* parent) override;
    void setPrintAnswer(bool accepted) { m_printAnswer = accepted; }
    void setPrinterSetupAnswer(bool accepted) { m_setupAnswer = accepted; }
    int printDialogs() const { return m_printDialogs; }
    int printerSetupDialogs() const { return m_setupDialogs; }

private:
    std::deque<Button> m_answers;
    std::function<Button(const ShownBox&)> m_responder;
    QList<ShownBox> m_shown;
    std::deque<std::optional<QColor>> m_colours;
    std::deque<std::optional<QFont>> m_fonts;
    std::deque<std::optional<QString>> m_openFiles;
    std::deque<std::optional<QString>> m_saveFiles;
    QList<FileRequest> m_fileRequests;
    QList<QColor> m_colourRequests;
    QList<QFont> m_fontRequests;
    bool m_printAnswer = true;
    bool m_setupAnswer = true;
    int m_printDialogs = 0;
    int m_setupDialogs = 0;
};

// One stretch of sound or silence: hertz 0 is a pause between two tones.
struct Sounded {
    int hertz = 0;
    std::uint32_t ms = 0;
    bool operator==(const Sounded&) const = default;
};
using ToneList = QList<Sounded>;

// Records every call, stamped with the clock's tick counter, and turns the
// record into the list of tones that sounded and the pauses between them.
// The hertz recorded are those that sounded: the speaker's timer sounds
// 1193181 / (1193181 / requested), so 400 Hz stays 400 but 3000 Hz is 3005.
class FakeToneOutput : public ToneOutput {
public:
    enum class Kind { ToneOn, ToneOff, Beep, QuestionSound };
    struct Event {
        Kind kind = Kind::ToneOff;
        int hertz = 0;
        std::uint32_t tick = 0;
        bool operator==(const Event&) const = default;
    };

    explicit FakeToneOutput(const Clock* clock = nullptr) : m_clock(clock) {}
    void setClock(const Clock* clock) { m_clock = clock; }

    void toneOn(int hertz) override;
    void toneOff() override;
    void beep() override;
    void questionSound() override;

    const QList<Event>& events() const { return m_events; }
    // Tones with their durations and the pauses between them (silence before
    // the first tone, after the last one and of 0 ms is left out). A tone
    // still sounding ends at the clock's present tick.
    ToneList sounded() const;
    int beeps() const;
    int questionSounds() const;
    bool sounding() const { return m_sounding; }
    void clear() { m_events.clear(); }

private:
    std::uint32_t tick() const { return m_clock ? m_clock->tickCount() : 0; }

    const Clock* m_clock = nullptr;
    QList<Event> m_events;
    bool m_sounding = false;
};

// A printer whose canvas has fixed metrics: every character is charWidth wide,
// every line lineHeight high, whatever the font.
struct PrintedText {
    int page = 1;
    int x = 0;
    int y = 0;
    QString text;
    QFont font;
};

struct PrintJob {
    QString title;
    QList<PrintedText> texts;
    int pages = 1;
    bool finished = false;
    int lineHeight = 20; // the printer's line height when the job began
    // Texts of one page, top to bottom; an empty line between two texts (a
    // gap of a whole line height or more) is an empty string, so a test sees
    // it. Empty lines after the last text of a page leave no trace.
    QStringList pageLines(int page) const;
};

class RecordingPrinter : public Printer {
public:
    RecordingPrinter();
    ~RecordingPrinter() override;

    std::unique_ptr<PrintCanvas> begin(const QString& title) override;
    QString errorString() const override;
    QPrinter* qprinter() override;
    bool usable() const override { return m_available; }

    void setAvailable(bool available) { m_available = available; }
    void setMetrics(int charWidth, int lineHeight, int pageWidth, int pageHeight);
    int charWidth() const { return m_charWidth; }
    int lineHeight() const { return m_lineHeight; }
    int pageWidth() const { return m_pageWidth; }
    int pageHeight() const { return m_pageHeight; }

    const QList<PrintJob>& jobs() const { return m_jobs; }
    PrintJob lastJob() const { return m_jobs.isEmpty() ? PrintJob{} : m_jobs.last(); }
    void clear() { m_jobs.clear(); }

private:
    friend class RecordingCanvas;
    bool m_available = true;
    int m_charWidth = 10;
    int m_lineHeight = 20;
    int m_pageWidth = 2000;
    int m_pageHeight = 2800;
    QList<PrintJob> m_jobs;
    std::unique_ptr<QPrinter> m_printer;
};

class FakeProcesses : public Processes {
public:
    struct Started {
        QString program;
        QStringList arguments;
        QString workingDirectory;
        QString commandLine() const; // program and arguments joined by blanks
    };
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory) override;
    void setResult(bool started) { m_result = started; }
    const QList<Started>& started() const { return m_started; }
    void clear() { m_started.clear(); }

private:
    bool m_result = true;
    QList<Started> m_started;
};

class FakeDrives : public Drives {
public:
    std::optional<qint64> floppyFreeSpace() const override { return m_free; }
    QString floppyPath() const override { return m_path; }
    void setFloppyFreeSpace(std::optional<qint64> bytes) { m_free = bytes; }
    void setFloppyPath(const QString& path) { m_path = path; }

private:
    std::optional<qint64> m_free; // no disk until a test inserts one
    QString m_path = QStringLiteral("/media/floppy");
};

// Temporary folders, removed with the object: work/, autostart/, help/, documents/.
class TempPaths : public Paths {
public:
    TempPaths();
    QString workDir() const override { return m_workDir; }
    QString autostartDir() const override { return m_autostart; }
    QString helpLocation() const override { return m_help; }
    QString documentsDir() const override { return m_documents; }
    void setWorkDir(const QString& dir) { m_workDir = dir; }
    QString root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
    QString m_workDir;
    QString m_autostart;
    QString m_help;
    QString m_documents;
};

class RecordingHelp : public Help {
public:
    void showTopic(int topic) override { m_topics.append(topic); }
    const QList<int>& topics() const { return m_topics; }
    void clear() { m_topics.clear(); }

private:
    QList<int> m_topics;
};

// Records what long work reported and stops it when told to.
class FakeProgress : public Progress {
public:
    struct Step {
        QString title;
        QString label;
        qint64 done = 0;
        qint64 total = 0;
    };
    std::unique_ptr<ProgressTask> begin(const QString& title, QWidget* parent) override;
    // Recorded as begin(); asideTasks() counts them.
    std::unique_ptr<ProgressTask> beginAside(const QString& title, QWidget* parent) override;
    int asideTasks() const { return m_asideTasks; }
    // The user presses Cancel at the n-th report from now (1: the next one); 0: never.
    void cancelAt(int report) { m_cancelAt = report; }
    const QList<Step>& steps() const { return m_steps; }
    QStringList titles() const;
    void clear() { m_steps.clear(); }
    // Progress windows begun and not yet closed.
    int openTasks() const { return m_open; }

private:
    friend class FakeProgressTask;
    int m_open = 0;
    bool report(const Step& step);
    int m_cancelAt = 0;
    bool m_cancelled = false;
    int m_asideTasks = 0;
    QList<Step> m_steps;
};

// Installs every fake for its lifetime and puts the previous services back.
class ScopedFakeServices {
public:
    ScopedFakeServices();
    ~ScopedFakeServices();
    ScopedFakeServices(const ScopedFakeServices&) = delete;
    ScopedFakeServices& operator=(const ScopedFakeServices&) = delete;

    FakeClock clock;
    FakeDialogs dialogs;
    FakeToneOutput tones;
    RecordingPrinter printer;
    FakeProcesses processes;
    FakeDrives drives;
    TempPaths paths;
    RecordingHelp help;
    FakeProgress progress;

private:
    Services m_previous;
};

} // namespace platform
