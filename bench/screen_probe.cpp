// Start-up and keystrokes timed from outside the program, as the user sees
// them: the probe runs an X server of its own (Xvfb, with openbox as the
// window manager), starts the programs there, watches the screen's pixels
// and notes when they reach the picture the settled program shows.
//
//   screen_probe start [--runs N] [--cold] [--area X,Y,W,H] [WORKDIR...]
//     From exec to pixels: a bare QMainWindow, the program on an empty book
//     and on each WORKDIR, started in turn. --cold evicts the books' tables
//     from the page cache before each start. The compared area is by default
//     the grid's rows of the maximized main window (not its title bar, whose
//     icon comes after the first paint, nor the scroll bar).
//   screen_probe keys [--runs N] WORKDIR
//     From a key to pixels: the quick search of the program on WORKDIR and a
//     bare QLineEdit, each on a server of its own, typed to in turn (N, O, V
//     and three backspaces). The whole screen is compared.
//   screen_probe first-key [--runs N] [--cold] WORKDIR
//     A key typed as soon as the grid's rows show: from the key to its echo
//     in the search field, and to the grid standing on the found row.
// --program PATH starts that build of the program instead of this tree's.
//
// Each program is first run untimed and its settled picture taken: several
// shots, and pixels that change between them (a blinking caret) are left out
// of every comparison. The screen is read after each change the server
// reports (the DAMAGE extension), or every few milliseconds.
#include "BenchSupport.h"
#include "ScreenProbeReferences.h"

#include "tools/DataDir.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Last: the X headers define macros that would clash with the others.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

namespace {

namespace fs = std::filesystem;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

double nowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleepMs(double ms)
{
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

double loadAverage()
{
    std::ifstream in("/proc/loadavg");
    double load = 0;
    in >> load;
    return load;
}

struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// What the screen shows once a program has settled, and which pixels count.
struct Picture {
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint8_t> counts; // 0: changed while settled (a caret)
    std::vector<std::uint8_t> wholeRow; // every pixel of the row counts
    std::size_t unsteady = 0;
};

// Starts a program in a process group of its own; `quiet` sends its output away.
pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::pair<std::string, std::string>>& env,
            bool quiet = true)
{
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::setpgid(0, 0);
        for (const auto& [name, value] : env)
            ::setenv(name.c_str(), value.c_str(), 1);
        if (quiet) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        std::_Exit(127);
    }
    return child;
}

void stop(pid_t& process)
{
    if (process <= 0)
        return;
    ::kill(-process, SIGKILL);
    ::kill(process, SIGKILL);
    ::waitpid(process, nullptr, 0);
    process = -1;
}

// An X server of the probe's own with openbox managing its windows.
class Server {
public:
    Server()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe failed");
        const std::string size = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
        m_xvfb = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", size, "-nolisten", "tcp",
                        "-noreset"},
                       {});
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (number.empty())
            throw std::runtime_error("Xvfb did not start (is the package xvfb installed?)");
        m_display = ":" + number;
        m_wm = spawn({"openbox", "--sm-disable"}, {{"DISPLAY", m_display}});
        waitForWindowManager();
    }
    ~Server()
    {
        stop(m_wm);
        stop(m_xvfb);
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    const std::string& display() const { return m_display; }

private:
    void waitForWindowManager()
    {
        Display* display = XOpenDisplay(m_display.c_str());
        if (!display)
            throw std::runtime_error("cannot open the display " + m_display);
        const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", 0);
        const Window root = XDefaultRootWindow(display);
        const double deadline = nowMs() + 10000;
        bool managed = false;
        while (!managed && nowMs() < deadline) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, root, check, 0, 1, 0, AnyPropertyType, &type, &format, &items, &after,
                                   &data)
                    == Success
                && items > 0)
                managed = true;
            if (data)
                XFree(data);
            if (!managed)
                sleepMs(20);
        }
        XCloseDisplay(display);
        if (!managed)
            throw std::runtime_error("openbox did not start (is the package openbox installed?)");
        sleepMs(300); // its first drawing of the root window
    }

    pid_t m_xvfb = -1;
    pid_t m_wm = -1;
    std::string m_display;
};

// Reads an area of a server's screen and types keys into it.
class Screen {
public:
    Screen(const std::string& displayName, Area area) : m_area(area)
    {
        m_display = XOpenDisplay(displayName.c_str());
        if (!m_display)
            throw std::runtime_error("cannot open the display " + displayName);
        const int screen = XDefaultScreen(m_display);
        m_root = XRootWindow(m_display, screen);
        if (m_area.width <= 0 || m_area.height <= 0)
            m_area = {0, 0, XDisplayWidth(m_display, screen), XDisplayHeight(m_display, screen)};
        int major = 0, minor = 0, pixmaps = 0;
        if (!XShmQueryVersion(m_display, &major, &minor, &pixmaps))
            throw std::runtime_error("the X server has no MIT-SHM");
        int event = 0, error = 0;
        if (!XTestQueryExtension(m_display, &event, &error, &major, &minor))
            throw std::runtime_error("the X server has no XTEST");
        if (XDamageQueryExtension(m_display, &m_damageEvent, &error))
            m_damage = XDamageCreate(m_display, m_root, XDamageReportNonEmpty);
        m_image = XShmCreateImage(m_display, XDefaultVisual(m_display, screen), 24, ZPixmap, nullptr, &m_shm,
                                  static_cast<unsigned>(m_area.width), static_cast<unsigned>(m_area.height));
        if (!m_image || m_image->bits_per_pixel != 32)
            throw std::runtime_error("the screen is not of 32-bit pixels");
        m_shm.shmid = ::shmget(IPC_PRIVATE, static_cast<std::size_t>(m_image->bytes_per_line) * m_image->height,
                               IPC_CREAT | 0600);
        m_shm.shmaddr = m_image->data = static_cast<char*>(::shmat(m_shm.shmid, nullptr, 0));
        m_shm.readOnly = 0;
        XShmAttach(m_display, &m_shm);
        XSync(m_display, 0);
        ::shmctl(m_shm.shmid, IPC_RMID, nullptr); // gone with the last detach
    }
    ~Screen()
    {
        XShmDetach(m_display, &m_shm);
        XDestroyImage(m_image);
        ::shmdt(m_shm.shmaddr);
        if (m_damage)
            XDamageDestroy(m_display, m_damage);
        XCloseDisplay(m_display);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    const Area& area() const { return m_area; }

    // Shots over `spanMs`; the pixels that changed meanwhile do not count.
    Picture settle(double spanMs = 1300, int shots = 14)
    {
        Picture picture;
        const std::size_t size = static_cast<std::size_t>(m_area.width) * static_cast<std::size_t>(m_area.height);
        picture.pixels.resize(size);
        picture.counts.assign(size, 1);
        for (int shot = 0; shot < shots; ++shot) {
            if (shot > 0)
                sleepMs(spanMs / (shots - 1));
            grab();
            for (int y = 0; y < m_area.height; ++y) {
                const std::uint32_t* row = rowOf(y);
                for (int x = 0; x < m_area.width; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(m_area.width)
                                          + static_cast<std::size_t>(x);
                    if (shot > 0 && picture.pixels[i] != row[x])
                        picture.counts[i] = 0;
                    picture.pixels[i] = row[x];
                }
            }
        }
        picture.wholeRow.assign(static_cast<std::size_t>(m_area.height), 1);
        for (std::size_t i = 0; i < size; ++i) {
            if (!picture.counts[i]) {
                ++picture.unsteady;
                picture.wholeRow[i / static_cast<std::size_t>(m_area.width)] = 0;
            }
        }
        return picture;
    }

    // When the area was first seen showing `picture`; -1 when it did not by
    // `deadline` or `process` ended first.
    double waitFor(const Picture& picture, double deadline, pid_t process = -1)
    {
        double seen = nowMs();
        for (;;) {
            forgetChanges();
            grab();
            if (matches(picture))
                return seen;
            if (nowMs() > deadline)
                return -1;
            if (process > 0 && ::waitpid(process, nullptr, WNOHANG) == process)
                return -1;
            seen = waitForChange();
        }
    }

    void tap(KeySym key)
    {
        const KeyCode code = XKeysymToKeycode(m_display, key);
        XTestFakeKeyEvent(m_display, code, 1, 0);
        XTestFakeKeyEvent(m_display, code, 0, 0);
        XFlush(m_display);
    }

    // The bounding box of the pixels that differ between two pictures
    // (either counting), inside `within` rows.
    static Area difference(const Picture& a, const Picture& b, const Area& area, int firstRow, int endRow)
    {
        int left = area.width, right = -1, top = area.height, bottom = -1;
        for (int y = firstRow; y < endRow; ++y) {
            for (int x = 0; x < area.width; ++x) {
                const std::size_t i =
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(area.width) + static_cast<std::size_t>(x);
                if (a.pixels[i] != b.pixels[i] || !a.counts[i] || !b.counts[i]) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        if (right < 0)
            return {};
        return {left, top, right - left + 1, bottom - top + 1};
    }

    // Whether the pixels inside `box` (area coordinates) show what `picture` does.
    bool showsIn(const Picture& picture, const Area& box)
    {
        forgetChanges();
        grab();
        for (int y = box.y; y < box.y + box.height; ++y) {
            const std::uint32_t* row = rowOf(y);
            for (int x = box.x; x < box.x + box.width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(m_area.width)
                                      + static_cast<std::size_t>(x);
                if (picture.counts[i] && picture.pixels[i] != row[x])
                    return false;
            }
        }
        return true;
    }

    // Returns when the server reports a change, or after a few milliseconds.
    double waitForChange(double timeoutMs = 4)
    {
        XFlush(m_display);
        if (!XPending(m_display)) {
            pollfd fd{XConnectionNumber(m_display), POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(timeoutMs));
        }
        const double now = nowMs();
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
        }
        return now;
    }

private:
    void forgetChanges()
    {
        if (m_damage)
            XDamageSubtract(m_display, m_damage, 0, 0);
    }

    void grab() { XShmGetImage(m_display, m_root, m_image, m_area.x, m_area.y, ~0UL); }

    const std::uint32_t* rowOf(int y) const
    {
        return reinterpret_cast<const std::uint32_t*>(m_image->data + static_cast<std::ptrdiff_t>(y)
                                                                          * m_image->bytes_per_line);
    }

    bool matches(const Picture& picture) const
    {
        const auto width = static_cast<std::size_t>(m_area.width);
        for (int y = 0; y < m_area.height; ++y) {
            const std::uint32_t* row = rowOf(y);
            const std::uint32_t* want = picture.pixels.data() + static_cast<std::size_t>(y) * width;
            if (picture.wholeRow[static_cast<std::size_t>(y)]) {
                if (std::memcmp(row, want, width * sizeof(std::uint32_t)) != 0)
                    return false;
                continue;
            }
            const std::uint8_t* counts = picture.counts.data() + static_cast<std::size_t>(y) * width;
            for (std::size_t x = 0; x < width; ++x) {
                if (counts[x] && row[x] != want[x])
                    return false;
            }
        }
        return true;
    }

    Display* m_display = nullptr;
    Window m_root = 0;
    Area m_area;
    XShmSegmentInfo m_shm{};
    XImage* m_image = nullptr;
    Damage m_damage = 0;
    int m_damageEvent = 0;
};

// A program as the probe starts it.
struct Program {
    std::string name;
    std::vector<std::string> command;
    fs::path workDir; // a book's, evicted when cold
    Picture settled;
    std::vector<double> times;
    int failures = 0;
};

std::string self()
{
    return fs::read_symlink("/proc/self/exe").string();
}

pid_t launch(const Program& program, const std::string& display)
{
    return spawn(program.command, {{"DISPLAY", display}, {"QT_QPA_PLATFORM", "xcb"}});
}

std::string summary(std::vector<double> values)
{
    if (values.empty())
        return "-";
    std::sort(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, "%7.1f / %7.1f / %7.1f ms", values.front(), values[values.size() / 2],
                  values.back());
    return text;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void printRow(const Program& program, const std::vector<const Program*>& references = {})
{
    std::printf("  %-34s %s", program.name.c_str(), summary(program.times).c_str());
    for (const Program* reference : references) {
        if (median(reference->times) > 0)
            std::printf("   %.2f x %s", median(program.times) / median(reference->times), reference->name.c_str());
    }
    if (program.failures)
        std::printf("   (%d runs did not reach the picture)", program.failures);
    std::printf("\n");
}

struct Options {
    std::string mode;
    int runs = 15;
    bool cold = false;
    Area area;
    bool areaGiven = false;
    std::vector<fs::path> workDirs;
    std::string program = PELMIR_PROGRAM;
};

std::string g_program;

std::vector<std::string> bookCommand(const fs::path& workDir)
{
    return {g_program, "--workdir", workDir.string()};
}

// The grid's rows of the maximized main window: below the menu and toolbar,
// left of the scroll bar, above the bottom edge.
Area gridRows()
{
    return {0, 100, kScreenWidth - 24, kScreenHeight - 100 - 30};
}

int runStart(const Options& options)
{
    const fs::path emptyBook = fs::temp_directory_path() / ("screen-probe-" + std::to_string(::getpid()));
    if (std::getenv("PELMIR_SOURCE_DIR") == nullptr)
        ::setenv("PELMIR_SOURCE_DIR", PELMIR_SOURCE_TREE, 1);
    fs::remove_all(emptyBook);
    tools::makeDataDir(tools::sourceSeedsDir(), emptyBook, tools::KeepCopy::No);

    std::vector<Program> programs;
    programs.push_back({"bare QMainWindow", {self(), "--bare-window"}, {}, {}, {}, 0});
    programs.push_back({"empty book", bookCommand(emptyBook), emptyBook, {}, {}, 0});
    for (const fs::path& dir : options.workDirs)
        programs.push_back({dir.filename().string(), bookCommand(dir), dir, {}, {}, 0});

    Server server;
    Screen screen(server.display(), options.areaGiven ? options.area : gridRows());
    const Picture blank = screen.settle(300, 4);
    const double loadBefore = loadAverage();
    // Untimed: the settled picture, and the libraries into the page cache.
    for (Program& program : programs) {
        pid_t process = launch(program, server.display());
        sleepMs(4000);
        program.settled = screen.settle();
        stop(process);
        screen.waitFor(blank, nowMs() + 5000);
        if (program.settled.unsteady > program.settled.pixels.size() / 20)
            std::fprintf(stderr, "screen_probe: %s did not settle (%zu pixels kept changing)\n",
                         program.name.c_str(), program.settled.unsteady);
    }
    for (int run = 0; run < options.runs; ++run) {
        for (Program& program : programs) {
            if (options.cold && !program.workDir.empty())
                bench::evictTables(program.workDir);
            sleepMs(150);
            const double started = nowMs();
            pid_t process = launch(program, server.display());
            const double seen = screen.waitFor(program.settled, started + 30000, process);
            if (seen < 0)
                ++program.failures;
            else
                program.times.push_back(seen - started);
            stop(process);
            screen.waitFor(blank, nowMs() + 5000);
        }
    }
    const double loadAfter = loadAverage();
    const Area& area = screen.area();
    std::printf("exec to pixels, %s: %d starts each in turn; screen %dx%d, compared area %d,%d %dx%d; "
                "load %.2f at the start, %.2f at the end\n",
                options.cold ? "cold (tables evicted before each start)" : "warm", options.runs, kScreenWidth,
                kScreenHeight, area.x, area.y, area.width, area.height, loadBefore, loadAfter);
    std::printf("  %-34s     min / median / max\n", "");
    printRow(programs[0]);
    printRow(programs[1], {&programs[0]});
    for (std::size_t i = 2; i < programs.size(); ++i)
        printRow(programs[i], {&programs[1], &programs[0]});
    fs::remove_all(emptyBook);
    return 0;
}

// The keys typed, and the state each leaves: "", N, NO, NOV, NO, N, "".
const std::vector<KeySym>& keyCycle()
{
    static const std::vector<KeySym> keys = {XK_n, XK_o, XK_v, XK_BackSpace, XK_BackSpace, XK_BackSpace};
    return keys;
}

int runKeys(const Options& options)
{
    if (options.workDirs.size() != 1) {
        std::fprintf(stderr, "screen_probe keys: one working directory\n");
        return 2;
    }
    struct Side {
        Program program;
        std::unique_ptr<Server> server;
        std::unique_ptr<Screen> screen;
        pid_t process = -1;
        std::vector<Picture> states; // after each key of the cycle
    };
    std::vector<Side> sides(2);
    sides[0].program = {"bare QLineEdit", {self(), "--bare-line-edit"}, {}, {}, {}, 0};
    sides[1].program = {"quick search, " + options.workDirs[0].filename().string(), bookCommand(options.workDirs[0]),
                        options.workDirs[0], {}, {}, 0};
    for (Side& side : sides) {
        side.server = std::make_unique<Server>();
        side.screen = std::make_unique<Screen>(side.server->display(), options.areaGiven ? options.area : Area{});
        side.process = launch(side.program, side.server->display());
    }
    sleepMs(5000); // the book's key list is read by then
    for (Side& side : sides) {
        for (KeySym key : keyCycle()) {
            side.screen->tap(key);
            sleepMs(700);
            side.states.push_back(side.screen->settle());
        }
        // A key that changed nothing would be timed at once.
        for (std::size_t k = 0; k < side.states.size(); ++k) {
            const Picture& before = side.states[k == 0 ? side.states.size() - 1 : k - 1];
            const Area& area = side.screen->area();
            if (Screen::difference(before, side.states[k], area, 0, area.height).width == 0) {
                std::fprintf(stderr, "screen_probe keys: key %zu changed nothing on %s's screen\n", k + 1,
                             side.program.name.c_str());
                return 1;
            }
        }
    }
    const double loadBefore = loadAverage();
    for (int run = 0; run < options.runs; ++run) {
        for (std::size_t k = 0; k < keyCycle().size(); ++k) {
            for (Side& side : sides) {
                sleepMs(60);
                side.screen->waitForChange(0);
                const double typed = nowMs();
                side.screen->tap(keyCycle()[k]);
                const double seen = side.screen->waitFor(side.states[k], typed + 5000, side.process);
                if (seen < 0)
                    ++side.program.failures;
                else
                    side.program.times.push_back(seen - typed);
            }
        }
    }
    const double loadAfter = loadAverage();
    for (Side& side : sides)
        stop(side.process);
    std::printf("key to pixels: %d rounds of the keys N, O, V and three backspaces, each key to each program in "
                "turn; whole screen %dx%d compared; load %.2f at the start, %.2f at the end\n",
                options.runs, kScreenWidth, kScreenHeight, loadBefore, loadAfter);
    std::printf("  %-34s     min / median / max\n", "");
    printRow(sides[0].program);
    printRow(sides[1].program, {&sides[0].program});
    return 0;
}

int runFirstKey(const Options& options)
{
    if (options.workDirs.size() != 1) {
        std::fprintf(stderr, "screen_probe first-key: one working directory\n");
        return 2;
    }
    Program book{"book", bookCommand(options.workDirs[0]), options.workDirs[0], {}, {}, 0};
    Server server;
    Screen rows(server.display(), options.areaGiven ? options.area : gridRows());
    Screen whole(server.display(), {});
    const Picture blank = rows.settle(300, 4);

    // Untimed: the rows at start, and the whole screen before and after the key.
    pid_t process = launch(book, server.display());
    sleepMs(5000);
    const Picture startRows = rows.settle();
    const Picture before = whole.settle();
    whole.tap(XK_n);
    sleepMs(1500);
    const Picture found = whole.settle();
    stop(process);
    rows.waitFor(blank, nowMs() + 5000);
    // The search field: the first patch of what changes above the grid's
    // rows, top left. Only that one: the navigator's buttons beside it
    // (enabled once off the first record) and the top of the grid's first
    // row change too, and a box reaching them would take the found row for
    // the echo.
    Area echoBox = Screen::difference(before, found, whole.area(), 0, gridRows().y);
    for (int y = echoBox.y, gap = 0; echoBox.width > 0 && y < echoBox.y + echoBox.height; ++y) {
        gap = Screen::difference(before, found, whole.area(), y, y + 1).width == 0 ? gap + 1 : 0;
        if (gap >= 6) {
            echoBox = Screen::difference(before, found, whole.area(), echoBox.y, y);
            break;
        }
    }
    for (int x = echoBox.x, gap = 0; echoBox.width > 0 && x < echoBox.x + echoBox.width; ++x) {
        bool changed = false;
        for (int y = echoBox.y; y < echoBox.y + echoBox.height && !changed; ++y) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(whole.area().width)
                                  + static_cast<std::size_t>(x);
            changed = before.pixels[i] != found.pixels[i] || !before.counts[i] || !found.counts[i];
        }
        gap = changed ? 0 : gap + 1;
        if (gap >= 6) {
            echoBox.width = x - gap + 1 - echoBox.x;
            break;
        }
    }
    if (echoBox.width == 0) {
        std::fprintf(stderr, "screen_probe first-key: typing N changed nothing above the grid\n");
        return 1;
    }

    if (std::getenv("PROBE_DEBUG"))
        std::fprintf(stderr, "echo box %d,%d %dx%d\n", echoBox.x, echoBox.y, echoBox.width, echoBox.height);
    std::vector<double> shown, echoed, answered;
    int failures = 0;
    const double loadBefore = loadAverage();
    for (int run = 0; run < options.runs; ++run) {
        if (options.cold)
            bench::evictTables(book.workDir);
        sleepMs(150);
        const double started = nowMs();
        process = launch(book, server.display());
        const double rowsSeen = rows.waitFor(startRows, started + 30000, process);
        if (rowsSeen < 0) {
            ++failures;
            stop(process);
            rows.waitFor(blank, nowMs() + 5000);
            continue;
        }
        const double typed = nowMs();
        whole.tap(XK_n);
        double echo = -1;
        double answer = -1;
        while (nowMs() < typed + 30000 && (echo < 0 || answer < 0)) {
            const double now = whole.waitForChange();
            if (echo < 0 && whole.showsIn(found, echoBox))
                echo = now;
            if (answer < 0 && whole.waitFor(found, 0) >= 0)
                answer = now;
        }
        stop(process);
        rows.waitFor(blank, nowMs() + 5000);
        if (echo < 0 || answer < 0) {
            ++failures;
            continue;
        }
        shown.push_back(rowsSeen - started);
        echoed.push_back(echo - typed);
        answered.push_back(answer - typed);
    }
    std::printf("a key typed as soon as the rows show, %s: %d starts; load %.2f at the start, %.2f at the end\n",
                options.cold ? "cold" : "warm", options.runs, loadBefore, loadAverage());
    std::printf("  %-34s     min / median / max\n", "");
    std::printf("  %-34s %s\n", "exec to rows painted", summary(shown).c_str());
    std::printf("  %-34s %s\n", "key to its echo", summary(echoed).c_str());
    std::printf("  %-34s %s\n", "key to the found row", summary(answered).c_str());
    if (failures)
        std::printf("  (%d runs did not reach the pictures)\n", failures);
    return 0;
}

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--runs" && i + 1 < argc) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (argument == "--program" && i + 1 < argc) {
            options.program = fs::absolute(argv[++i]).string();
        } else if (argument == "--cold") {
            options.cold = true;
        } else if (argument == "--area" && i + 1 < argc) {
            Area& a = options.area;
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &a.x, &a.y, &a.width, &a.height) != 4)
                throw std::runtime_error("--area X,Y,WIDTH,HEIGHT");
            options.areaGiven = true;
        } else if (options.mode.empty()) {
            options.mode = argument;
        } else {
            options.workDirs.push_back(fs::absolute(argument));
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--bare-window")
        return probe::runBareWindow(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "--bare-line-edit")
        return probe::runBareLineEdit(argc, argv);
    try {
        const Options options = parse(argc, argv);
        g_program = options.program;
        if (options.mode == "start")
            return runStart(options);
        if (options.mode == "keys")
            return runKeys(options);
        if (options.mode == "first-key")
            return runFirstKey(options);
        std::fprintf(stderr, "usage: screen_probe start|keys|first-key [--runs N] [--cold] [--area X,Y,W,H] "
                             "[--program PATH] [WORKDIR...]\n");
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "screen_probe: %s\n", error.what());
        return 1;
    }
}
