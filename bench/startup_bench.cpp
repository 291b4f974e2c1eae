// Start-up of the program on an empty address book against a bare Qt main
// window, in the same run. Each is started as a fresh process (this program
// again), alternately, and timed from just before the start to the first
// paint of its main window; the program's time is also split at the moments
// its toolkit is ready and its splash window is painted. The processor time
// each has used by then is given too: unlike the clock, the machine's other
// work hardly changes it.
//   startup_bench [runs] [--workdir DIR] [--cold]
// (under X: DISPLAY=:N; without one offscreen). --workdir starts the program
// on that working directory (a large book) instead of a new empty one;
// --cold evicts its tables from the system's page cache before each start.
#include "BenchSupport.h"

#include "app/Application.h"
#include "tools/DataDir.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double nowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Writes the moments (ms since `startedMs`) to stdout and ends the process at
// the first paint of a main window.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(double startedMs) : m_started(startedMs) {}
    void mark(const char* what) { std::printf("%s %.2f\n", what, nowMs() - m_started); }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !object->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(object);
        const QWidget* window = widget->window();
        if (!m_splashSeen && window->inherits("app::SplashScreen")) {
            m_splashSeen = true;
            mark("splash");
        }
        if (qobject_cast<const QMainWindow*>(window) != nullptr && window->isVisible()) {
            mark("shown");
            // The processor time of all its threads so far: what the machine's
            // other work does not change, unlike the time on the clock.
            rusage usage{};
            ::getrusage(RUSAGE_SELF, &usage);
            const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
            std::printf("cpu %.2f\n", ms(usage.ru_utime) + ms(usage.ru_stime));
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }

private:
    double m_started;
    bool m_splashSeen = false;
};

int runChild(int argc, char** argv)
{
    const std::string mode = argv[1];
    const double started = std::atof(argv[2]);
    QApplication application(argc, argv);
    FirstPaint watch(started);
    application.installEventFilter(&watch);
    watch.mark("toolkit");
    if (mode == "--bare") {
        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Pelmir a telefony"));
        window.showMaximized();
        return QApplication::exec();
    }
    return app::runProgram({QStringLiteral("pelmir"), QStringLiteral("--workdir"), QString::fromLocal8Bit(argv[3])});
}

struct Moments {
    std::vector<double> toolkit, splash, shown, cpu;
};

void startOnce(const std::string& mode, const std::string& workDir, Moments& moments)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        std::exit(1);
    char started[32];
    std::snprintf(started, sizeof started, "%.3f", nowMs());
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFds[1], 1);
        ::close(pipeFds[0]);
        ::execl("/proc/self/exe", "startup_bench", mode.c_str(), started, workDir.c_str(), static_cast<char*>(nullptr));
        std::_Exit(1);
    }
    ::close(pipeFds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    char what[32];
    double ms = 0;
    for (const char* p = output.c_str(); std::sscanf(p, "%31s %lf", what, &ms) == 2;) {
        const std::string name = what;
        (name == "toolkit" ? moments.toolkit
         : name == "splash" ? moments.splash
         : name == "cpu"    ? moments.cpu
                            : moments.shown)
            .push_back(ms);
        p = std::strchr(p, '\n');
        if (p == nullptr)
            break;
        ++p;
    }
}

std::string summary(std::vector<double> values)
{
    if (values.empty())
        return "-";
    std::sort(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, "%6.1f / %6.1f / %6.1f ms", values.front(), values[values.size() / 2],
                  values.back());
    return text;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && (std::string(argv[1]) == "--bare" || std::string(argv[1]) == "--book"))
        return runChild(argc, argv);
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int runs = 15;
    bool cold = false;
    std::filesystem::path workDir;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--cold")
            cold = true;
        else if (argument == "--workdir" && i + 1 < argc)
            workDir = std::filesystem::absolute(argv[++i]);
        else
            runs = std::max(1, std::atoi(argv[i]));
    }
    QTemporaryDir dir;
    if (workDir.empty()) {
        if (std::getenv("PELMIR_SOURCE_DIR") == nullptr)
            ::setenv("PELMIR_SOURCE_DIR", PELMIR_SOURCE_TREE, 1);
        workDir = std::filesystem::path(dir.path().toStdString()) / "work";
        tools::makeDataDir(tools::sourceSeedsDir(), workDir);
    }

    Moments bare, book;
    // One of each first, untimed: the libraries then come from the page cache for both.
    Moments ignored;
    startOnce("--bare", workDir.string(), ignored);
    startOnce("--book", workDir.string(), ignored);
    for (int i = 0; i < runs; ++i) {
        startOnce("--bare", workDir.string(), bare);
        if (cold)
            bench::evictTables(workDir);
        startOnce("--book", workDir.string(), book);
    }
    std::printf("%d runs each, min / median / max from the start of the process\n", runs);
    std::printf("bare QMainWindow   toolkit ready %s   window painted %s\n", summary(bare.toolkit).c_str(),
                summary(bare.shown).c_str());
    std::printf("%-18s toolkit ready %s   splash painted %s   main window painted %s\n",
                cold ? "the book, cold" : "the book", summary(book.toolkit).c_str(), summary(book.splash).c_str(), summary(book.shown).c_str());
    const double ratio = median(bare.shown) > 0 ? median(book.shown) / median(bare.shown) : 0;
    std::printf("ratio of the medians: %.2f (goal: at most 2)\n", ratio);
    std::printf("processor time to the first paint (all threads): bare %s, the book %s, ratio %.2f\n",
                summary(bare.cpu).c_str(), summary(book.cpu).c_str(),
                median(bare.cpu) > 0 ? median(book.cpu) / median(bare.cpu) : 0);
    return 0;
}
