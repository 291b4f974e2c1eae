#include "platform/Fakes.h"

#include <QDir>
#include <QtGlobal>

#include <algorithm>

namespace platform {

FakeClock::FakeClock() : m_now(QDate(2024, 3, 15), QTime(10, 0)) {}

void FakeClock::setToday(const QDate& date)
{
    m_now = QDateTime(date, m_now.time());
}

void FakeClock::advanceMs(std::int64_t ms)
{
    m_now = m_now.addMSecs(ms);
    // The counter is 32 bits wide like the system's: the addition wraps.
    m_tick += static_cast<std::uint32_t>(ms);
}

void FakeClock::advanceDays(int days)
{
    advanceMs(std::int64_t{days} * 24 * 60 * 60 * 1000);
}

void FakeClock::waitHint(std::uint32_t remainingMs)
{
    ++m_waitHints;
    std::uint32_t step = m_waitStep == 0 ? remainingMs : std::min(m_waitStep, remainingMs);
    // A wait that asks must always make progress, or it would never end.
    advanceMs(std::max<std::uint32_t>(step, 1));
}

// --- FakeDialogs -------------------------------------------------------------

Button FakeDialogs::show(const ShownBox& box)
{
    m_shown.append(box);
    if (m_responder)
        return m_responder(box);
    if (!m_answers.empty()) {
        Button answer = m_answers.front();
        m_answers.pop_front();
        if (!box.buttons.contains(answer))
            qWarning("FakeDialogs: the scripted answer is not a button of the box \"%s\"",
                     qPrintable(box.text));
        return answer;
    }
    if (box.buttons.contains(Button::Yes))
        return Button::Yes;
    if (box.buttons.contains(Button::Ok) || box.buttons.isEmpty())
        return Button::Ok;
    return box.buttons.first();
}

QStringList FakeDialogs::shownTexts() const
{
    QStringList texts;
    for (const ShownBox& box : m_shown)
        texts.append(box.text);
    return texts;
}

void FakeDialogs::clear()
{
    m_shown.clear();
    m_answers.clear();
}

namespace {

template <typename T> std::optional<T> takeNext(std::deque<std::optional<T>>& queue)
{
    // Swapped out rather than moved: GCC 12 at -O2 warns (falsely) that a moved
    // optional<QString> may be uninitialised, which -Werror turns into a failure.
    std::optional<T> answer;
    if (!queue.empty()) {
        answer.swap(queue.front());
        queue.pop_front();
    }
    return answer;
}

} // namespace

std::optional<QColor> FakeDialogs::chooseColor(const QColor& initial)
{
    m_colourRequests.append(initial);
    return takeNext(m_colours);
}

std::optional<QFont> FakeDialogs::chooseFont(const QFont& initial)
{
    m_fontRequests.append(initial);
    return takeNext(m_fonts);
}

std::optional<QString> FakeDialogs::openFileName(const QString& caption, const QString& dir,
                                                 const QString& filter)
{
    m_fileRequests.append({false, caption, dir, filter});
    return takeNext(m_openFiles);
}

std::optional<QString> FakeDialogs::saveFileName(const QString& caption, const QString& dir,
                                                 const QString& filter, OverwriteQuestion question)
{
    m_fileRequests.append({true, caption, dir, filter, question});
    return takeNext(m_saveFiles);
}

bool FakeDialogs::print(QPrinter&, QWidget*)
{
    ++m_printDialogs;
    return m_printAnswer;
}

bool FakeDialogs::printerSetup(QPrinter&, QWidget*)
{
    ++m_setupDialogs;
    return m_setupAnswer;
}

// --- FakeToneOutput ----------------------------------------------------------

void FakeToneOutput::toneOn(int hertz)
{
    m_events.append({Kind::ToneOn, hertz, tick()});
    m_sounding = true;
}

void FakeToneOutput::toneOff()
{
    m_events.append({Kind::ToneOff, 0, tick()});
    m_sounding = false;
}

void FakeToneOutput::beep()
{
    m_events.append({Kind::Beep, 0, tick()});
}

void FakeToneOutput::questionSound()
{
    m_events.append({Kind::QuestionSound, 0, tick()});
}

ToneList FakeToneOutput::sounded() const
{
    ToneList list;
    bool sounding = false;
    int hertz = 0;
    std::uint32_t start = 0;
    std::optional<std::uint32_t> silentSince;
    for (const Event& event : m_events) {
        if (event.kind == Kind::ToneOn) {
            if (sounding)
                list.append({hertz, event.tick - start});
            else if (silentSince && event.tick != *silentSince)
                list.append({0, event.tick - *silentSince});
            sounding = true;
            hertz = event.hertz;
            start = event.tick;
        } else if (event.kind == Kind::ToneOff && sounding) {
            list.append({hertz, event.tick - start});
            sounding = false;
            silentSince = event.tick;
        }
    }
    if (sounding)
        list.append({hertz, tick() - start});
    return list;
}

int FakeToneOutput::beeps() const
{
    return static_cast<int>(std::count_if(m_events.begin(), m_events.end(),
                                          [](const Event& e) { return e.kind == Kind::Beep; }));
}

int FakeToneOutput::questionSounds() const
{
    return static_cast<int>(std::count_if(m_events.begin(), m_events.end(), [](const Event& e) {
        return e.kind == Kind::QuestionSound;
    }));
}

// --- FakeProcesses, TempPaths -------------------------------------------------

QString FakeProcesses::Started::commandLine() const
{
    return (QStringList{program} + arguments).join(QLatin1Char(' '));
}

bool FakeProcesses::startDetached(const QString& program, const QStringList& arguments,
                                  const QString& workingDirectory)
{
    m_started.append({program, arguments, workingDirectory});
    return m_result;
}

TempPaths::TempPaths()
{
    const QDir root(m_root.path());
    m_workDir = root.filePath(QStringLiteral("work"));
    m_autostart = root.filePath(QStringLiteral("autostart"));
    m_help = root.filePath(QStringLiteral("help"));
    m_documents = root.filePath(QStringLiteral("documents"));
    for (const QString& dir : {m_workDir, m_autostart, m_help, m_documents})
        root.mkpath(dir);
}

// --- FakeProgress ---------------------------------------------------------------

class FakeProgressTask : public ProgressTask {
public:
    FakeProgressTask(FakeProgress& owner, const QString& title) : m_owner(owner), m_title(title) { ++m_owner.m_open; }
    ~FakeProgressTask() override { --m_owner.m_open; }
    FakeProgressTask(const FakeProgressTask&) = delete;
    FakeProgressTask& operator=(const FakeProgressTask&) = delete;
    bool setProgress(qint64 done, qint64 total) override
    {
        return m_owner.report({m_title, m_label, done, total});
    }
    void setLabel(const QString& text) override { m_label = text; }

private:
    FakeProgress& m_owner;
    QString m_title;
    QString m_label;
};

std::unique_ptr<ProgressTask> FakeProgress::begin(const QString& title, QWidget* parent)
{
    static_cast<void>(parent);
    m_cancelled = false;
    return std::make_unique<FakeProgressTask>(*this, title);
}

std::unique_ptr<ProgressTask> FakeProgress::beginAside(const QString& title, QWidget* parent)
{
    ++m_asideTasks;
    return begin(title, parent);
}

bool FakeProgress::report(const Step& step)
{
    m_steps.append(step);
    if (m_cancelAt > 0 && --m_cancelAt == 0)
        m_cancelled = true;
    return !m_cancelled;
}

QStringList FakeProgress::titles() const
{
    QStringList result;
    for (const Step& step : m_steps)
        if (!result.contains(step.title))
            result.append(step.title);
    return result;
}

// --- ScopedFakeServices -------------------------------------------------------

ScopedFakeServices::ScopedFakeServices() : m_previous(services())
{
    tones.setClock(&clock);
    setServices({&clock, &dialogs, &tones, &printer, &processes, &drives, &paths, &help, &progress});
}

ScopedFakeServices::~ScopedFakeServices()
{
    setServices(m_previous);
}

} // namespace platform
