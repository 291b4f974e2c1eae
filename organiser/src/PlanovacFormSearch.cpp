// The planner's text search: "&Hledej" from the first entry, "&Další" onward.

#include "organiser/PlanovacForm.h"

#include "PlanovacFormTexts.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Cursor.h"
#include "store/MarkedWalk.h"
#include "store/TextSearch.h"
#include "widgets/ErrorReport.h"
#include "widgets/LetterCase.h"
#include "widgets/WalkProgress.h"
#include "widgets/SelectOnFocus.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace organiser {

QFrame* TPlanovacForm::createSearchPanel()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setAutoFillBackground(true);
    Panel2->setPalette(QPalette(QColor(240, 240, 240)));
    auto* row = new QHBoxLayout(Panel2);
    row->setContentsMargins(6, 4, 6, 4);
    EditHledani = new QLineEdit(planovac::kSearchInitial, Panel2);
    EditHledani->setObjectName(QStringLiteral("EditHledani"));
    // It opens with a hint or the last search: typing replaces it.
    widgets::selectAllOnFocus(EditHledani);
    EditHledani->setValidator(
        new widgets::LetterCaseValidator(widgets::LetterCaseValidator::Case::Lower, EditHledani));
    EditHledani->installEventFilter(this);
    connect(EditHledani, &QLineEdit::textChanged, this, [this] { EditHledaniChange(); });
    row->addWidget(EditHledani, 1);
    SpeedButtonHledej = new QToolButton(Panel2);
    SpeedButtonHledej->setObjectName(QStringLiteral("SpeedButtonHledej"));
    SpeedButtonHledej->setText(planovac::kHledej);
    SpeedButtonDalsi = new QToolButton(Panel2);
    SpeedButtonDalsi->setObjectName(QStringLiteral("SpeedButtonDalsi"));
    SpeedButtonDalsi->setText(planovac::kDalsi);
    SpeedButtonZzpet = new QToolButton(Panel2);
    SpeedButtonZzpet->setObjectName(QStringLiteral("SpeedButtonZzpet"));
    SpeedButtonZzpet->setText(planovac::kSearchZpet);
    for (QToolButton* button : {SpeedButtonHledej, SpeedButtonDalsi, SpeedButtonZzpet}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        row->addWidget(button);
    }
    connect(SpeedButtonHledej, &QToolButton::clicked, this, [this] { SpeedButtonHledejClick(); });
    connect(SpeedButtonDalsi, &QToolButton::clicked, this, [this] { SpeedButtonDalsiClick(); });
    connect(SpeedButtonZzpet, &QToolButton::clicked, this, [this] { SpeedButtonZzpetClick(); });
    Panel2->hide();
    return Panel2;
}

bool TPlanovacForm::eventFilter(QObject* watched, QEvent* event)
{
    // A click into the search text starts the search again from the first entry.
    if (watched == EditHledani && event->type() == QEvent::MouseButtonPress)
        EditHledaniChange();
    return QWidget::eventFilter(watched, event);
}

void TPlanovacForm::setSearchFound(bool found)
{
    SpeedButtonHledej->setEnabled(!found);
    SpeedButtonDalsi->setEnabled(found);
}

void TPlanovacForm::SpeedButtonHledaniClick()
{
    Panel2->show();
    setSearchFound(false);
    EditHledani->setFocus();
}

void TPlanovacForm::EditHledaniChange()
{
    setSearchFound(false);
}

void TPlanovacForm::SpeedButtonZzpetClick()
{
    Panel2->hide();
}

void TPlanovacForm::SpeedButtonHledejClick()
{
    runTextSearch(true);
}

void TPlanovacForm::SpeedButtonDalsiClick()
{
    runTextSearch(false);
}

void TPlanovacForm::runTextSearch(bool fromStart)
{
    const QString typed = EditHledani->text();
    bool found = false;
    widgets::guarded([&] {
        commitOpenEditor();
        store::MarkedWalk walk(*m_table, widgets::walkProgress(planovac::kSearching));
        store::TextSearch search(*m_table, "Činnost", typed.toStdString(), &walk);
        found = fromStart ? search.fromStart() : search.onward();
        walk.endProgress();
        // Stopped by the user: back where it started, nothing to tell.
        if (!found && !walk.cancelled()) {
            sound::playNotFound(m_speaker);
            platform::services().dialogs->information(
                (fromStart ? planovac::kNotFound : planovac::kNoFurther).arg(typed));
        }
        walk.finish(found);
    });
    setSearchFound(found);
    // Found or not, the search ends with its tone and the focus in the text.
    sound::toneSearchFinished(m_speaker);
    EditHledani->setFocus();
}

} // namespace organiser
