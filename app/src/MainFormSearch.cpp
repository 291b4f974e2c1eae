// The main window's quick search and text search.

#include "app/MainForm.h"

#include "MainFormTexts.h"
#include "app/AddressGrid.h"
#include "store/TextSearch.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/MarkedWalk.h"
#include "widgets/DataControls.h"
#include "widgets/ErrorReport.h"
#include "widgets/KeyListReader.h"
#include "widgets/WalkProgress.h"

#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace app {

namespace {

// Runs its action when the scope ends, also by an error.
template <typename F>
class AtScopeEnd {
public:
    explicit AtScopeEnd(F f) : m_f(std::move(f)) {}
    ~AtScopeEnd()
    {
        try {
            m_f();
        } catch (...) {
        }
    }
    AtScopeEnd(const AtScopeEnd&) = delete;
    AtScopeEnd& operator=(const AtScopeEnd&) = delete;

private:
    F m_f;
};

} // namespace

void TMainForm::HledEditChange()
{
    widgets::guarded([&] {
        Grid->commitOpenEditor();
        m_keyList->whenRead(*m_table, [this] { quickSearch(); });
    });
}

void TMainForm::quickSearch()
{
    // The text as it stands when the search runs: keys typed while the key
    // list was read make one search.
    const QString text = HledEdit->text();
    if (text.isEmpty())
        m_table->first();
    else
        m_table->findNearest(text.toStdString());
}

void TMainForm::HledaniTextuClick()
{
    PanelHledText->show();
    PanelHledText->raise();
    SpeedButtonHledej->setEnabled(true);
    SpeedButtonDalsi->setEnabled(false);
    EditHledani->setFocus();
}

void TMainForm::EditHledaniChange()
{
    PanelNaDotaz->hide();
    paintFieldLabels(QString());
    SpeedButtonHledej->setEnabled(true);
    SpeedButtonDalsi->setEnabled(false);
}

void TMainForm::SpeedButtonZpetClick()
{
    PanelNaDotaz->hide();
    paintFieldLabels(QString());
    PanelHledText->hide();
    HledEdit->setFocus();
}

QString TMainForm::chosenSearchField() const
{
    const std::pair<QRadioButton*, const char*> choices[] = {
        {RadioButtonPrijmeni, "Příjmení"}, {RadioButtonJmeno, "Jméno"},
        {RadioButtonAdresa, "Adresa"},     {RadioButtonTelefon, "Telefon"},
        {RadioButtonPoznamka, "Poznámka"},
    };
    for (const auto& [button, field] : choices)
        if (button->isChecked())
            return QString::fromUtf8(field);
    return QString();
}

void TMainForm::paintFieldLabels(const QString& yellowField)
{
    for (widgets::DBText* label :
         {DBTextPrijmeni, DBTextJmeno, DBTextTelefon, DBTextAdresa, DBTextPoznamka}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText,
                         label->dataField() == yellowField ? QColor(Qt::yellow) : QColor(Qt::black));
        label->setPalette(palette);
    }
}

void TMainForm::setSearchFound(bool found)
{
    SpeedButtonHledej->setEnabled(!found);
    SpeedButtonDalsi->setEnabled(found);
}

void TMainForm::playNotFound()
{
    sound::playNotFound(m_speaker);
}

void TMainForm::finishSearch()
{
    sound::toneSearchFinished(m_speaker);
    EditHledani->setFocus();
}

void TMainForm::SpeedButtonHledejClick()
{
    runTextSearch(true);
}

void TMainForm::Dalsi()
{
    runTextSearch(false);
}

// "Hledej" searches from the first record, "Další" on from the current one;
// they differ only in where the walk starts and in their not-found text.
void TMainForm::runTextSearch(bool fromStart)
{
    widgets::guarded([&] {
        const QString field = chosenSearchField();
        if (field.isEmpty()) {
            platform::services().dialogs->information(texts::kNoColumn);
            return;
        }
        const QString typed = EditHledani->text();
        Grid->commitOpenEditor();
        // Declared first, so it runs after the walk has given the display back.
        AtScopeEnd finish([this] { finishSearch(); });
        store::MarkedWalk walk(*m_table, widgets::walkProgress(texts::kSearching));
        store::TextSearch search(*m_table, field.toStdString(), typed.toStdString(), &walk);
        const bool found = fromStart ? search.fromStart() : search.onward();
        walk.endProgress();
        if (walk.cancelled()) {
            // Stopped by the user: back where it started, nothing to tell.
            walk.finish(false);
            return;
        }
        if (found) {
            setSearchFound(true);
            // A further occurrence keeps the panel and the yellow label as they are.
            if (fromStart) {
                PanelNaDotaz->show();
                PanelNaDotaz->raise();
                paintFieldLabels(field);
            }
        } else {
            playNotFound();
            platform::services().dialogs->information(
                (fromStart ? texts::kNotFound : texts::kNoFurther).arg(typed));
            setSearchFound(false);
            PanelNaDotaz->hide();
            paintFieldLabels(QString());
        }
        walk.finish(found);
        // The panel shows the record found now: give it the room its texts need.
        if (found)
            placeFloatingPanels();
    });
}

} // namespace app
