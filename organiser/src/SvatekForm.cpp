// The name-day window: layout, start-up positioning, navigation and editing.

#include "organiser/SvatekForm.h"

#include "SvatekFormTexts.h"
#include "organiser/GlyphButton.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "store/Query.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/ErrorReport.h"
#include "widgets/LetterCase.h"
#include "widgets/SpeedButton.h"
#include "widgets/SelectOnFocus.h"
#include "widgets/UnsavedWork.h"

#include <QAbstractItemDelegate>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace organiser {

namespace {

constexpr int kHelpTopic = 6;
const QColor kToolbarColour(0, 88, 88);
const QColor kGlyphColour(0, 70, 70);

} // namespace

TSvatekForm::TSvatekForm(store::Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_table(std::make_unique<store::Cursor>(database, kNameDayTable)),
      m_query(std::make_unique<store::Query>(database))
{
    setObjectName(QStringLiteral("SvatekForm"));
    setWindowTitle(svatek::kCaption);
    m_pending = std::make_unique<widgets::PendingRecord>(*this, *m_table);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);

    database.registerPassword(store::dataTablesPassword());
    m_table->open();
    m_query->setSql("select * from Svatek");

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    DBGridSvatek = new widgets::DBGrid(this);
    DBGridSvatek->setObjectName(QStringLiteral("DBGridSvatek"));
    QFont titleFont = DBGridSvatek->horizontalHeader()->font();
    titleFont.setBold(true);
    DBGridSvatek->horizontalHeader()->setFont(titleFont);
    DBGridSvatek->horizontalHeader()->setStretchLastSection(true);
    // One row per day of the year, always: the grid adds and deletes none.
    DBGridSvatek->setRecordKeys(false, false);
    showWholeTable();
    DBGridSvatek->installEventFilter(this);
    // Enter in a cell editor closes it with this hint: the row is saved then.
    connect(DBGridSvatek->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::SubmitModelCache)
                    saveByEnter();
            });
    column->addWidget(DBGridSvatek, 1);
    column->addWidget(createSearchPanel());
    column->addWidget(createToolbar());
    createLists();

    m_table->addObserver(this);
    resize(640, 520);
}

TSvatekForm::~TSvatekForm()
{
    // The controls observe the table and the selection, so they go first.
    m_table->removeObserver(this);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete child;
}

QWidget* TSvatekForm::createToolbar()
{
    auto* toolbar = new QFrame(this);
    toolbar->setObjectName(QStringLiteral("PanelNastroje"));
    toolbar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    widgets::setBackground(toolbar, kToolbarColour);
    auto* row = new QHBoxLayout(toolbar);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);

    BitBtnZverokruh = new GlyphButton(toolbar);
    BitBtnZverokruh->setObjectName(QStringLiteral("BitBtnZverokruh"));
    BitBtnZverokruh->setText(svatek::kInitialSign);
    BitBtnZverokruh->setToolTip(svatek::kHintZverokruh);
    BitBtnZverokruh->setMinimumWidth(170);
    BitBtnZverokruh->setFocusPolicy(Qt::NoFocus);
    connect(BitBtnZverokruh, &QPushButton::clicked, this, [this] { BitBtnZverokruhClick(); });
    row->addWidget(BitBtnZverokruh);
    row->addSpacing(6);

    SpeedButtonPrvni = widgets::speedButton(toolbar, "SpeedButtonPrvni", svatek::kHintPrvni,
                                            QStringLiteral("⇤"), kGlyphColour);
    SpeedButtonLevy = widgets::speedButton(toolbar, "SpeedButtonLevy", svatek::kHintLevy,
                                           QStringLiteral("≪"), kGlyphColour);
    SpeedButtonPravy = widgets::speedButton(toolbar, "SpeedButtonPravy", svatek::kHintPravy,
                                            QStringLiteral("≫"), kGlyphColour);
    SpeedButtonPosledni = widgets::speedButton(toolbar, "SpeedButtonPosledni",
                                               svatek::kHintPosledni, QStringLiteral("⇥"),
                                               kGlyphColour);
    connect(SpeedButtonPrvni, &QToolButton::clicked, this, [this] { SpeedButtonPrvniClick(); });
    connect(SpeedButtonLevy, &QToolButton::clicked, this, [this] { SpeedButtonLevyClick(); });
    connect(SpeedButtonPravy, &QToolButton::clicked, this, [this] { SpeedButtonPravyClick(); });
    connect(SpeedButtonPosledni, &QToolButton::clicked, this,
            [this] { SpeedButtonPosledniClick(); });
    for (QToolButton* button :
         {SpeedButtonPrvni, SpeedButtonLevy, SpeedButtonPravy, SpeedButtonPosledni})
        row->addWidget(button);
    row->addSpacing(6);

    DBNavigatorSvatek = new widgets::DBNavigator(toolbar);
    DBNavigatorSvatek->setObjectName(QStringLiteral("DBNavigatorSvatek"));
    DBNavigatorSvatek->setVisibleButtons(
        {widgets::DBNavigator::Button::Post, widgets::DBNavigator::Button::Cancel});
    DBNavigatorSvatek->setHint(widgets::DBNavigator::Button::Post, svatek::kHintUlozit);
    DBNavigatorSvatek->setHint(widgets::DBNavigator::Button::Cancel, svatek::kHintNeukladat);
    DBNavigatorSvatek->setDataSet(m_table.get());
    connect(DBNavigatorSvatek, &widgets::DBNavigator::clicked, this, [] { sound::beep(); });
    row->addWidget(DBNavigatorSvatek);
    row->addSpacing(6);

    SpeedButtonHled = widgets::speedButton(toolbar, "SpeedButtonHled", svatek::kHintHled,
                                           QStringLiteral("⚲"), kGlyphColour);
    SpeedButtonKalendar = widgets::speedButton(toolbar, "SpeedButtonKalendar",
                                               svatek::kHintKalendar, QStringLiteral("▦"),
                                               kGlyphColour);
    SpeedButtonSvatby = widgets::speedButton(toolbar, "SpeedButtonSvatby", svatek::kHintSvatby,
                                             QStringLiteral("⚭"), kGlyphColour);
    connect(SpeedButtonHled, &QToolButton::clicked, this, [this] { SpeedButtonHledClick(); });
    connect(SpeedButtonKalendar, &QToolButton::clicked, this,
            [this] { SpeedButtonKalendarClick(); });
    connect(SpeedButtonSvatby, &QToolButton::clicked, this, [this] { SpeedButtonSvatbyClick(); });
    for (QToolButton* button : {SpeedButtonHled, SpeedButtonKalendar, SpeedButtonSvatby})
        row->addWidget(button);
    row->addStretch(1);

    SpeedButtonTisk = new QPushButton(svatek::kTisk, toolbar);
    SpeedButtonTisk->setObjectName(QStringLiteral("SpeedButtonTisk"));
    BitBtnZpet = new QPushButton(svatek::kZpet, toolbar);
    BitBtnZpet->setObjectName(QStringLiteral("BitBtnZpet"));
    for (QPushButton* button : {SpeedButtonTisk, BitBtnZpet}) {
        button->setFocusPolicy(Qt::NoFocus);
        row->addWidget(button);
    }
    connect(SpeedButtonTisk, &QPushButton::clicked, this, [this] { SpeedButtonTiskClick(); });
    connect(BitBtnZpet, &QPushButton::clicked, this, [this] { BitBtnZpetClick(); });
    return toolbar;
}

QFrame* TSvatekForm::createSearchPanel()
{
    PanelDotaz = new QFrame(this);
    PanelDotaz->setObjectName(QStringLiteral("PanelDotaz"));
    PanelDotaz->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* row = new QHBoxLayout(PanelDotaz);
    row->setContentsMargins(6, 4, 6, 4);
    EditDotaz = new QLineEdit(svatek::kSearchInitial, PanelDotaz);
    EditDotaz->setObjectName(QStringLiteral("EditDotaz"));
    // It opens with a hint or the last search: typing replaces it.
    widgets::selectAllOnFocus(EditDotaz);
    EditDotaz->setValidator(
        new widgets::LetterCaseValidator(widgets::LetterCaseValidator::Case::Lower, EditDotaz));
    // Enter in the field searches, as the button's mnemonic does.
    connect(EditDotaz, &QLineEdit::returnPressed, this, [this] { SpeedButtonHledejClick(); });
    row->addWidget(EditDotaz, 1);
    SpeedButtonHledej = new QToolButton(PanelDotaz);
    SpeedButtonHledej->setObjectName(QStringLiteral("SpeedButtonHledej"));
    SpeedButtonHledej->setText(svatek::kNajdi);
    SpeedButtonZpet = new QToolButton(PanelDotaz);
    SpeedButtonZpet->setObjectName(QStringLiteral("SpeedButtonZpet"));
    SpeedButtonZpet->setText(svatek::kSearchZpet);
    for (QToolButton* button : {SpeedButtonHledej, SpeedButtonZpet}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        row->addWidget(button);
    }
    connect(SpeedButtonHledej, &QToolButton::clicked, this, [this] { SpeedButtonHledejClick(); });
    connect(SpeedButtonZpet, &QToolButton::clicked, this, [this] { SpeedButtonZpetClick(); });
    PanelDotaz->hide();
    return PanelDotaz;
}

void TSvatekForm::FormCreate()
{
    widgets::guarded([&] {
        setNavigationButtons(positionOnDay(*m_table, platform::services().clock->today()));
    });
}

void TSvatekForm::setNavigationButtons(NavigationButtons buttons)
{
    m_buttons = buttons;
    SpeedButtonPrvni->setEnabled(buttons.backward);
    SpeedButtonLevy->setEnabled(buttons.backward);
    SpeedButtonPravy->setEnabled(buttons.forward);
    SpeedButtonPosledni->setEnabled(buttons.forward);
}

void TSvatekForm::navigate(NavigationMove move)
{
    widgets::guarded([&] {
        DBGridSvatek->commitOpenEditor();
        setNavigationButtons(organiser::navigate(*m_table, move, m_buttons));
    });
}

void TSvatekForm::SpeedButtonPrvniClick()
{
    navigate(NavigationMove::First);
}

void TSvatekForm::SpeedButtonLevyClick()
{
    navigate(NavigationMove::Back);
}

void TSvatekForm::SpeedButtonPravyClick()
{
    navigate(NavigationMove::Forward);
}

void TSvatekForm::SpeedButtonPosledniClick()
{
    navigate(NavigationMove::Last);
}

void TSvatekForm::saveByEnter()
{
    if (DBGridSvatek->dataSet() != m_table.get())
        return;
    const store::CursorState state = m_table->state();
    if (state == store::CursorState::Edit || state == store::CursorState::Insert)
        widgets::guarded([&] { m_table->post(); });
}

void TSvatekForm::BitBtnZpetClick()
{
    hide();
}

bool TSvatekForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBGridSvatek && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            saveByEnter();
            return true;
        }
    }
    // Releasing a mouse button anywhere over an open list closes it.
    if (event->type() == QEvent::MouseButtonRelease) {
        for (QTreeWidget* list : {ListViewZverokruh, ListViewSvatby}) {
            if (list && (watched == list || watched == list->viewport() ||
                         watched == list->header() || watched == list->header()->viewport())) {
                list->hide();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSvatekForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeLists();
}

void TSvatekForm::displayChanged(store::DisplayChange change)
{
    // Only a change of the current row can change the sign; a walk with the
    // display suspended ends with one change for the row it leaves current.
    if (change == store::DisplayChange::Current || change == store::DisplayChange::Everything)
        updateSign();
}

} // namespace organiser
