#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Help.h"
#include "app/MainForm.h"
#include "app/WorkDir.h"

#include "interchange/Log.h"

#include "platform/Platform.h"
#include "platform/RealServices.h"
#include "sound/AudioToneOutput.h"
#include "sound/DeferredToneOutput.h"
#include "store/Catalogue.h"
#include "store/Compaction.h"
#include "store/Errors.h"
#include "store/InstanceLock.h"
#include "widgets/ErrorReport.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <functional>

namespace app {

namespace {
const QString kAlreadyRunning = QStringLiteral(
    "Pelmir a telefony už běží nad tímto pracovním adresářem. Přepněte se do spuštěného "
    "programu, nebo ho ukončete a spusťte program znovu.");
const QString kNoLock = QStringLiteral("Pracovní adresář nelze uzamknout: %1");

// Rebuilds the big tables whose pages single saves have scattered, so that the
// next start reads them in one sweep. Runs after the windows are gone and the
// tables closed, while the lock still keeps a second instance out; a table
// that cannot be rebuilt now simply stays as it is.
void compactScatteredTables(const std::filesystem::path& dataDir)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir, error)) {
        const std::string name = entry.path().filename().string();
        if (!store::findTableDef(name))
            continue;
        try {
            store::compactIfScattered(entry.path());
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "pelmir: %s: %s\n", name.c_str(), failure.what());
        }
    }
}

// Runs the work once the window has been painted for the first time, or
// after two seconds if the window system has not shown it by then (a window
// on another workspace is painted only when the user goes there).
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget& window, std::function<void()> work) : QObject(&window), m_work(std::move(work))
    {
        window.installEventFilter(this);
        QTimer::singleShot(2000, this, [this] { run(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Queued: the paint goes to the screen first.
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(this, [this] { run(); }, Qt::QueuedConnection);
        return false;
    }

private:
    void run()
    {
        if (!m_work)
            return;
        parent()->removeEventFilter(this);
        const std::function<void()> work = std::move(m_work);
        m_work = nullptr;
        widgets::guarded(work);
        deleteLater();
    }

    std::function<void()> m_work;
};

} // namespace

int runProgram(const QStringList& arguments)
{
    CommandLine commandLine = parseCommandLine(arguments, QDir::currentPath());
    const WorkDirChoice choice =
        chooseWorkDir(commandLine, QDir::currentPath(),
                      userWorkDir(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()));
    commandLine.workDir = choice.dir;
    const QString workDir = QDir(commandLine.workDir).absolutePath();

    // The desktop's menu entry belongs to this program's windows.
    QGuiApplication::setDesktopFileName(QStringLiteral(PELMIR_APP_ID));
    // The toolkit's own dialogs (colour, files, printer) speak Czech like the rest.
    const std::unique_ptr<QTranslator> czech = platform::installToolkitTranslation();

    platform::RealServices real(workDir);
    // The stream to the sound server opens once the main window is painted,
    // or at the first tone if one comes sooner.
    sound::DeferredToneOutput tones([] { return std::make_unique<sound::AudioToneOutput>(); });
    HelpViewer help;
    platform::Services services = real.services();
    services.tones = &tones;
    services.help = &help;
    platform::setServices(services);

    if (choice.provision && commandLine.error.isEmpty()) {
        const QString error = prepareWorkDir(
            workDir, platform::installedFile(QCoreApplication::applicationDirPath(), QStringLiteral("data")),
            QCoreApplication::applicationFilePath());
        if (!error.isEmpty()) {
            services.dialogs->errorBox(error);
            return 1;
        }
    }
    // The tone stream and the icon from the desktop's theme (looking it up
    // takes longer than painting the main window, which shows it as soon as
    // it is there) wait for the first paint.
    return runWithServices(commandLine, [&tones] {
        tones.start();
        QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PELMIR_APP_ID)));
    });
}

int runWithServices(const CommandLine& commandLine, const std::function<void()>& afterFirstPaint)
{
    platform::Dialogs& dialogs = *platform::services().dialogs;
    if (!commandLine.error.isEmpty()) {
        dialogs.errorBox(commandLine.error);
        return 2;
    }
    const QString workDir = QDir(commandLine.workDir).absolutePath();

    // A second instance on the same tables would overwrite the first one's work.
    const std::filesystem::path dataDir =
        std::filesystem::path(workDir.toStdString()) / store::kDataDirName;
    std::unique_ptr<store::InstanceLock> lock;
    try {
        lock = store::InstanceLock::acquire(dataDir);
    } catch (const store::StoreError& error) {
        // A missing data folder is told as such, not as a lock that failed.
        const QString text = QString::fromUtf8(error.what());
        dialogs.errorBox(error.kind() == store::StoreError::Kind::NotFound ? text : kNoLock.arg(text));
        return 1;
    }
    if (!lock) {
        dialogs.errorBox(kAlreadyRunning);
        return 1;
    }

    // Relative names (the colour files, pictures, backups) mean the working directory.
    QDir::setCurrent(workDir);
    // What libraries say in English goes to the log, never into a box.
    interchange::setLogFile(QDir(workDir).filePath(QStringLiteral("pelmir.log")));

    int result = 1;
    {
        Application application(workDir.toStdString());
        if (!commandLine.document.isEmpty())
            application.setEditorDocument(QFileInfo(commandLine.document).absoluteFilePath());
        if (!application.start())
            return 1;
        application.showMainWindow();
        // The check reads every table file: it waits until the window is up.
        new FirstPaintWatch(*application.mainForm(), [&application, &afterFirstPaint] {
            application.checkTablesInBackground();
            if (afterFirstPaint)
                afterFirstPaint();
        });
        result = QApplication::exec();
    }
    compactScatteredTables(dataDir);
    return result;
}

} // namespace app
