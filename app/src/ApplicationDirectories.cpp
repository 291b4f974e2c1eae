// The reference directories' windows: created at their start-up steps and
// opened from the "Doplňky" menu.

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

} // namespace

void Application::createVyrobForm()
{
    m_vyrobForm = std::make_unique<directories::TVyrobForm>(*m_database);
    m_vyrobForm->FormCreate();
    m_mainForm->bindCommand(QStringLiteral("SeznamPristroju"), [this] { showInFront(m_vyrobForm.get()); });
}

void Application::createTlfCrForm()
{
    m_tlfCrForm = std::make_unique<directories::TTlfCrForm>(*m_database);
    m_tlfCrForm->FormCreate();
    m_mainForm->bindCommand(QStringLiteral("TelefonniPredvolbyVCR"), [this] { showInFront(m_tlfCrForm.get()); });
}

void Application::createTlfSvtForm()
{
    m_tlfSvtForm = std::make_unique<directories::TTlfSvtForm>(*m_database);
    m_tlfSvtForm->FormCreate();
    m_mainForm->bindCommand(QStringLiteral("MezinarodniTelPredvolby"), [this] { showInFront(m_tlfSvtForm.get()); });
}

// The postal and vehicle codes only become visible: a window already shown
// is not brought forward.
void Application::createPscForm()
{
    m_pscForm = std::make_unique<directories::TPscForm>(*m_database);
    m_pscForm->FormCreate();
    m_mainForm->bindCommand(QStringLiteral("PostovniSmerovaciCisla"), [this] { m_pscForm->setVisible(true); });
}

void Application::createSpzForm()
{
    m_spzForm = std::make_unique<directories::TSpzForm>(*m_database);
    m_spzForm->FormCreate();
    m_mainForm->bindCommand(QStringLiteral("PoznavaciZnackyZemi"), [this] { m_spzForm->setVisible(true); });
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
