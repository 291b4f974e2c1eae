#pragma once

// The seams to everything a test cannot control. Windows and logic reach the
// outside world only through platform::services(); tests install fakes.

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QDateTime now() const = 0;
    // Monotonic milliseconds, 32-bit like the system's tick counter: it wraps around.
    virtual std::uint32_t tickCount() const = 0;
    // Called between rounds of event processing by waits that poll tickCount()
    // (the speaker's ToneWait), with the milliseconds still missing. The system
    // clock yields the processor briefly; a fake clock moves itself forward so
    // that a wait in a test ends at once and lasts exactly its duration.
    virtual void waitHint(std::uint32_t remainingMs) { static_cast<void>(remainingMs); }
};

// The widget property naming the help topic F1 opens for a widget and its children.
inline constexpr const char* kHelpTopicProperty = "helpTopic";
// The topic of the colour and printer set-up dialogs.
inline constexpr int kSettingsDialogsHelpTopic = 1;

enum class Icon { None, Information, Warning, Error, Question };
enum class Button { Ok, Cancel, Yes, No };
// Who asks before a save replaces an existing file: the save dialog, or the
// caller in its own words (then the dialog must not ask as well).
enum class OverwriteQuestion { Dialog, Caller };

// One message box as it was shown (for fakes and logs).
struct ShownBox {
    QString caption;
    QString text;
    Icon icon = Icon::None;
    QList<Button> buttons;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The application title, caption of the error boxes and of boxes without a sign.
    static QString applicationTitle() { return QStringLiteral("Pelmir a telefony"); }

    // Generic box; every helper below goes through it.
    virtual Button show(const ShownBox& box) = 0;

    // "Confirm", "&Yes"/"&No": true only on Yes.
    bool confirm(const QString& text);
    // "Confirm" with Yes/No/Cancel.
    Button confirmYesNoCancel(const QString& text);
    void information(const QString& text); // "Information", OK
    void warning(const QString& text);     // "Warning", OK
    void error(const QString& text);       // "Error", OK
    void errorBox(const QString& text);    // application title, error sign, OK
    void message(const QString& text);     // application title, no sign, OK
    bool okCancel(const QString& text);    // "Confirm", OK/Cancel (the grid's "Delete record?")

    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
    virtual std::optional<QString> openFileName(const QString& caption, const QString& dir,
                                                const QString& filter) = 0;
    // `dir` is a folder, or a file whose name the dialog offers.
    virtual std::optional<QString> saveFileName(const QString& caption, const QString& dir, const QString& filter,
                                                OverwriteQuestion question = OverwriteQuestion::Dialog) = 0;
    // Print and printer set-up dialogs on the given printer; true when accepted.
    virtual bool print(QPrinter& printer, QWidget* parent) = 0;
    virtual bool printerSetup(QPrinter& printer, QWidget* parent) = 0;
};

// The speaker and the desktop's alert sounds.
class ToneOutput {
public:
    virtual ~ToneOutput() = default;
    virtual void toneOn(int hertz) = 0; // start, or change the frequency of a sounding tone
    virtual void toneOff() = 0;
    virtual void beep() = 0;          // the simple beep
    virtual void questionSound() = 0; // the question alert
};

// A page canvas with font metrics for text output and reports.
class PrintCanvas {
public:
    virtual ~PrintCanvas() = default;
    virtual void setFont(const QFont& font) = 0;
    virtual int textWidth(const QString& text) const = 0;
    // How many characters of the text, from its start, fit into `room`
    // pixels, and their width. Measures the whole text first, as most texts
    // fit; a canvas that can do better overrides it. A surrogate pair is
    // never cut.
    virtual int fittingLength(const QString& text, int room, int* fittedWidth) const;
    virtual int lineHeight() const = 0;       // height of a character of the font
    virtual int averageCharWidth() const = 0; // the font's average character width
    virtual int pageWidth() const = 0;        // the printable area, in printer pixels

    virtual int pageHeight() const = 0;
    virtual void drawText(int x, int y, const QString& text) = 0; // y is the line's top
    virtual void newPage() = 0;
    virtual void finish() = 0;
};

class Printer {
public:
    virtual ~Printer() = default;
    // Starts a print job; nullptr when no printer can be used.
    virtual std::unique_ptr<PrintCanvas> begin(const QString& title) = 0;
    // Why the last job could not start, or why none can start now (Czech, for the error box).
    virtual QString errorString() const = 0;
    // The printer all printing of the run uses: the set-up dialog changes it,
    // reports and rich text print on it.
    virtual QPrinter* qprinter() = 0;
    // Whether qprinter() leads anywhere: a printer, or a file chosen in the set-up dialog.
    virtual bool usable() const = 0;
};

class Processes {
public:
    virtual ~Processes() = default;
    // Starts a command without waiting; false when it could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingDirectory) = 0;
};

class Drives {
public:
    virtual ~Drives() = default;
    // Free bytes on the floppy drive, nullopt when no disk is inserted / no drive.
    virtual std::optional<qint64> floppyFreeSpace() const = 0;
    virtual QString floppyPath() const = 0;
};

class Paths {
public:
    virtual ~Paths() = default;
    virtual QString workDir() const = 0;
    QString dataDir() const;                  // workDir()/Data
    virtual QString autostartDir() const = 0; // XDG autostart folder
    virtual QString helpLocation() const = 0;
    virtual QString documentsDir() const = 0; // the editor's initial document folder
};

class Help {
public:
    virtual ~Help() = default;
    virtual void showTopic(int topic) = 0;
};

// Long work the user may stop (an import, an export): a window with a bar and
// a cancel button that appears when the work takes more than a moment.
class ProgressTask {
public:
    virtual ~ProgressTask() = default;
    // Moves the bar; false once the user has asked to stop.
    virtual bool setProgress(qint64 done, qint64 total) = 0;
    virtual void setLabel(const QString& text) = 0;
};

class Progress {
public:
    virtual ~Progress() = default;
    // The window goes when the task is destroyed.
    virtual std::unique_ptr<ProgressTask> begin(const QString& title, QWidget* parent) = 0;
    // For work done a step at a time between the window's own events, which
    // the user may go on using meanwhile (typing into it above all): no
    // cancel button, not modal, takes no focus, handles no events itself.
    // It appears within a tenth of a second when the work lasts.
    virtual std::unique_ptr<ProgressTask> beginAside(const QString& title, QWidget* parent) = 0;
};

struct Services {
    Clock* clock = nullptr;
    Dialogs* dialogs = nullptr;
    ToneOutput* tones = nullptr;
    Printer* printer = nullptr;
    Processes* processes = nullptr;
    Drives* drives = nullptr;
    Paths* paths = nullptr;
    Help* help = nullptr;
    Progress* progress = nullptr;
};

// The services in use. The program installs the real ones at start; tests install fakes.
Services& services();
void setServices(const Services& services);

} // namespace platform
