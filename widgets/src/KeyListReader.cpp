#include "widgets/KeyListReader.h"

#include "widgets/ErrorReport.h"

#include "platform/Platform.h"
#include "store/Cursor.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace widgets {

namespace {

// Keys read in one statement, and how long the window may go without
// handling its events: a key typed meanwhile shows within a frame or two.
constexpr int kRowsPerStep = 4096;
constexpr int kShareMs = 12;

} // namespace

KeyListReader::KeyListReader(QWidget* window, QString label)
    : QObject(window), m_window(window), m_label(std::move(label)), m_timer(new QTimer(this))
{
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, [this] { readShare(); });
}

KeyListReader::~KeyListReader() = default;

void KeyListReader::whenRead(store::Cursor& cursor, std::function<void()> work)
{
    if (m_cursor && m_cursor != &cursor)
        cancel();
    if (!cursor.keyListPending()) {
        cancel();
        work();
        return;
    }
    m_work = std::move(work);
    if (m_cursor)
        return;
    m_cursor = &cursor;
    if (platform::Progress* progress = platform::services().progress)
        m_progress = progress->beginAside(m_label, m_window);
    m_timer->start();
}

void KeyListReader::cancel()
{
    m_timer->stop();
    m_cursor = nullptr;
    m_work = nullptr;
    m_progress.reset();
}

void KeyListReader::readShare()
{
    if (!m_cursor)
        return;
    store::Cursor& cursor = *m_cursor;
    bool whole = !cursor.isActive() || !cursor.keyListPending();
    int done = 0;
    int total = -1;
    QElapsedTimer share;
    share.start();
    const bool read = guarded([&] {
        while (!whole && share.elapsed() < kShareMs)
            whole = cursor.readKeyListStep(kRowsPerStep, &done, &total);
    });
    if (!read) {
        // The failure is reported; the work would meet it again.
        cancel();
        return;
    }
    if (!whole) {
        if (m_progress)
            m_progress->setProgress(done, total);
        return;
    }
    std::function<void()> work = std::move(m_work);
    cancel();
    if (work && cursor.isActive())
        guarded(work);
}

} // namespace widgets
