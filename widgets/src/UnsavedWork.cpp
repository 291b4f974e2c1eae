#include "widgets/UnsavedWork.h"

#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"

#include "platform/Platform.h"
#include "store/Cursor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace widgets {

namespace {

const QString kPendingQuestion = QStringLiteral("V okně „%1“ je rozepsaný záznam. Uložit ho?");
const QString kDuplicateKey = QStringLiteral("Záznam nelze uložit: stejný záznam už v tabulce je. Opravte ho, nebo ho zrušte.");

std::vector<UnsavedWork*>& everyWork()
{
    static std::vector<UnsavedWork*> work;
    return work;
}

bool settling = false;

bool isPending(const store::Cursor& table)
{
    return table.isActive() &&
           (table.state() == store::CursorState::Edit || table.state() == store::CursorState::Insert);
}

} // namespace

UnsavedWork::UnsavedWork()
{
    everyWork().push_back(this);
}

UnsavedWork::~UnsavedWork()
{
    std::erase(everyWork(), this);
}

bool UnsavedWork::settleAll()
{
    // A question box runs its own event loop: F10 or the close box pressed
    // under it must not start a second round of questions.
    if (settling)
        return false;
    settling = true;
    struct Clear {
        ~Clear() { settling = false; }
    } clear;
    // A copy: a window made or freed while a question is open changes the list.
    const std::vector<UnsavedWork*> work = everyWork();
    for (UnsavedWork* piece : work) {
        if (std::find(everyWork().begin(), everyWork().end(), piece) == everyWork().end())
            continue;
        if (!piece->settleBeforeQuit())
            return false;
    }
    return true;
}

bool askAboutPendingRecord(QWidget& window, const std::function<bool()>& save, const std::function<void()>& drop)
{
    bringForward(window);
    switch (platform::services().dialogs->confirmYesNoCancel(kPendingQuestion.arg(window.windowTitle()))) {
    case platform::Button::Yes:
        return save();
    case platform::Button::No:
        drop();
        return true;
    default:
        return false;
    }
}

void bringForward(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
    // The question box belongs to the active window, and the window manager
    // activates this one a moment later: asked sooner, the box would come up
    // over the window the user ended from, with the one it is about behind.
    QElapsedTimer waited;
    waited.start();
    while (!window.isActiveWindow() && waited.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(5);
    }
}

PendingRecord::PendingRecord(QWidget& window, store::Cursor& table, QString duplicateKeyText)
    : m_window(window), m_table(table),
      m_duplicateKeyText(duplicateKeyText.isEmpty() ? kDuplicateKey : std::move(duplicateKeyText))
{
}

bool PendingRecord::settleBeforeQuit()
{
    bool settled = false;
    guarded([&] {
        // A value still in a grid's cell editor goes into the record first,
        // as leaving the grid would put it there.
        for (DBGrid* grid : m_window.findChildren<DBGrid*>()) {
            if (grid->dataSet() == &m_table)
                grid->commitOpenEditor();
        }
        if (!isPending(m_table) || !m_table.modified()) {
            settled = true; // nothing typed: nothing is lost when it is dropped
            return;
        }
        const auto save = [this] {
            try {
                m_table.post();
                return true;
            } catch (const std::exception& error) {
                platform::services().dialogs->errorBox(saveFailureMessage(error, m_duplicateKeyText));
                return false;
            }
        };
        const auto drop = [this] {
            for (DBGrid* grid : m_window.findChildren<DBGrid*>()) {
                if (grid->dataSet() == &m_table)
                    grid->dropOpenEditor();
            }
            m_table.cancel();
        };
        settled = askAboutPendingRecord(m_window, save, drop);
    });
    return settled;
}

} // namespace widgets
