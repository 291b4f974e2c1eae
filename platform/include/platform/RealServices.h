#pragma once

// The real implementations of the seams. The program builds one RealServices
// at start, adds the tone output (sound module) and the help viewer (app), and
// installs them with setServices().

#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPrinter>

#include <memory>

class QAbstractButton;
class QMessageBox;
class QTranslator;

namespace platform {

class SystemClock : public Clock {
public:
    QDate today() const override;
    QDateTime now() const override;
    // Milliseconds of the monotonic clock, cut to 32 bits like the system's tick counter.
    std::uint32_t tickCount() const override;
    // Sleeps at most a millisecond so a polling wait neither burns a core nor lags.
    void waitHint(std::uint32_t remainingMs) override;
};

class QtDialogs : public Dialogs {
public:
    Button show(const ShownBox& box) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QString> openFileName(const QString& caption, const QString& dir,
                                        const QString& filter) override;
    std::optional<QString> saveFileName(const QString& caption, const QString& dir, const QString& filter,
                                        OverwriteQuestion question = OverwriteQuestion::Dialog) override;
    bool print(QPrinter& printer, QWidget* parent) override;
    bool printerSetup(QPrinter& printer, QWidget* parent) override;

    // The message box show() runs, with the button each push button stands for.
    static std::unique_ptr<QMessageBox> buildMessageBox(const ShownBox& box, QWidget* parent,
                                                        QHash<QAbstractButton*, Button>* buttons);
    static QString buttonText(Button button); // "&Yes", "&No", "OK", "Cancel"
};

// The system's printer: the one chosen in the set-up dialog, else the
// default one. Without any printer a job cannot start, unless the set-up
// dialog chose printing into a file.
class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;
    std::unique_ptr<PrintCanvas> begin(const QString& title) override;
    QString errorString() const override;
    QPrinter* qprinter() override { return &printer(); }
    bool usable() const override;

private:
    // Made on first use: the printer settings chosen then stay for the run.
    QPrinter& printer() const;

    mutable std::unique_ptr<QPrinter> m_printer;
    QString m_error;
};

class QtProcesses : public Processes {
public:
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory) override;
};

// The floppy drive is a mount point: the environment's PELMIR_FLOPPY, else
// /media/floppy. A folder that is not mounted counts as a drive without a disk.
class ConfiguredDrives : public Drives {
public:
    explicit ConfiguredDrives(const QString& mountPoint = {});
    std::optional<qint64> floppyFreeSpace() const override;
    QString floppyPath() const override { return m_mountPoint; }

private:
    QString m_mountPoint;
};

class RealPaths : public Paths {
public:
    explicit RealPaths(const QString& workDir);
    QString workDir() const override { return m_workDir; }
    QString autostartDir() const override; // $XDG_CONFIG_HOME/autostart, else ~/.config/autostart
    QString helpLocation() const override; // the installed folder "help"
    QString documentsDir() const override; // the desktop's documents folder

private:
    QString m_workDir;
};

// A file the installation delivers: <prefix>/share/pelmir/NAME for a program
// in <prefix>/bin. The build tree has the same shape, so a program run from it
// finds the files of the source tree.
QString installedFile(const QString& programDir, const QString& name);

// Loads the toolkit's Czech translation (colour, file, printer and preview
// dialogs) into the application; the translator stays installed while the
// returned object lives. nullptr when the translation is not installed. The
// message boxes keep their English captions and buttons: they set them
// themselves.
std::unique_ptr<QTranslator> installToolkitTranslation();

// QProgressDialog, shown after 400 ms; its events keep the windows painted.
class QtProgress : public Progress {
public:
    std::unique_ptr<ProgressTask> begin(const QString& title, QWidget* parent) override;
    std::unique_ptr<ProgressTask> beginAside(const QString& title, QWidget* parent) override;
};

// Owns the real seams. The tone output and the help viewer belong to other
// modules, so services() leaves them empty for the program to fill in.
class RealServices {
public:
    explicit RealServices(const QString& workDir);
    Services services();

    SystemClock clock;
    QtDialogs dialogs;
    QtPrinter printer;
    QtProcesses processes;
    ConfiguredDrives drives;
    RealPaths paths;
    QtProgress progress;
};

} // namespace platform
