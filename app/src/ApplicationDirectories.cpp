// The reference directories' windows: made on their first opening from the
// "Doplňky" menu.

#include "app/Application.h"

#include "app/MainForm.h"

#include "directories/CodeDirectoryForm.h"
#include "directories/PrefixForm.h"
#include "directories/VyrobForm.h"

namespace app {

namespace {

// "Seznam přístrojů" and the telephone prefixes bring their window to the front.
void showInFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// Each window is kept only once its start-up step went through.
template <typename Form>
Form* madeOnce(std::unique_ptr<Form>& form, store::Database& database)
{
    if (!form) {
        auto made = std::make_unique<Form>(database);
        made->FormCreate();
        form = std::move(made);
    }
    return form.get();
}

} // namespace

void Application::bindDirectoryCommands()
{
    m_mainForm->bindCommand(QStringLiteral("SeznamPristroju"), [this] { showInFront(vyrobForm()); });
    m_mainForm->bindCommand(QStringLiteral("TelefonniPredvolbyVCR"), [this] { showInFront(tlfCrForm()); });
    m_mainForm->bindCommand(QStringLiteral("MezinarodniTelPredvolby"), [this] { showInFront(tlfSvtForm()); });
    // The postal and vehicle codes only become visible: a window already
    // shown is not brought forward.
    m_mainForm->bindCommand(QStringLiteral("PostovniSmerovaciCisla"), [this] { pscForm()->setVisible(true); });
    m_mainForm->bindCommand(QStringLiteral("PoznavaciZnackyZemi"), [this] { spzForm()->setVisible(true); });
}

directories::TVyrobForm* Application::vyrobForm()
{
    return madeOnce(m_vyrobForm, *m_database);
}

directories::TTlfCrForm* Application::tlfCrForm()
{
    return madeOnce(m_tlfCrForm, *m_database);
}

directories::TTlfSvtForm* Application::tlfSvtForm()
{
    return madeOnce(m_tlfSvtForm, *m_database);
}

directories::TPscForm* Application::pscForm()
{
    return madeOnce(m_pscForm, *m_database);
}

directories::TSpzForm* Application::spzForm()
{
    return madeOnce(m_spzForm, *m_database);
}

void Application::releaseDirectoryForms()
{
    m_spzForm.reset();
    m_pscForm.reset();
    m_tlfSvtForm.reset();
    m_tlfCrForm.reset();
    m_vyrobForm.reset();
}

} // namespace app
