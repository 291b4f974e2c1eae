// The personal records: layout, the record-editing toolbar, Enter and Esc
// in the two editors, and printing.

#include "organiser/OsobZaznamyForm.h"

#include "organiser/RecordsPrinting.h"

#include "OsobZaznamyFormTexts.h"

#include "platform/Platform.h"
#include "reports/TextPrinter.h"
#include "sound/Tones.h"
#include "store/Cursor.h"
#include "widgets/DBNavigator.h"
#include "widgets/DataControls.h"
#include "widgets/ErrorReport.h"
#include "widgets/RecordToolbar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace organiser {

namespace {

namespace texts = osobzaznamy;

constexpr int kHelpTopic = 4;
constexpr int kTitleLength = 35;
constexpr int kTextLength = 255;
const QColor kTitleColour(128, 0, 0);
constexpr const char* kFieldNazev = "Název";

widgets::RecordToolbarSettings editingSettings()
{
    widgets::RecordToolbarSettings editing;
    editing.insertHint = texts::kHintVloz;
    editing.deleteHint = texts::kHintSmaz;
    editing.saveHint = texts::kHintPotvrd;
    editing.discardHint = texts::kHintZrus;
    editing.duplicateMessage = texts::kDuplicate;
    editing.deleteQuestion = texts::kDeleteQuestion;
    editing.keyField = kFieldNazev;
    return editing;
}

bool isEnterKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

TOsobZaznamyForm::TOsobZaznamyForm(store::Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window), m_table(std::make_unique<store::Cursor>(database, "Datz.db"))
{
    setObjectName(QStringLiteral("OsobZaznamyForm"));
    setWindowTitle(texts::kCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);
    m_table->open();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addWidget(createToolbar());

    auto label = [this, column](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        column->addWidget(l);
    };
    DBMemoNazev = new widgets::DBMemo(this);
    DBMemoNazev->setObjectName(QStringLiteral("DBMemoNazev"));
    QFont titleFont = DBMemoNazev->font();
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    DBMemoNazev->setFont(titleFont);
    QPalette titlePalette = DBMemoNazev->palette();
    titlePalette.setColor(QPalette::Text, kTitleColour);
    DBMemoNazev->setPalette(titlePalette);
    DBMemoNazev->setFixedHeight(DBMemoNazev->fontMetrics().height() * 2 + 10);
    DBMemoNazev->setMaxLength(kTitleLength);
    DBMemoNazev->setTabChangesFocus(true);
    DBMemoNazev->setDataSet(m_table.get());
    DBMemoNazev->setDataField(QString::fromUtf8(kFieldNazev));
    label(texts::kLabelNazev, DBMemoNazev);
    column->addWidget(DBMemoNazev);

    DBRichEditText = new widgets::DBRichEdit(this);
    DBRichEditText->setObjectName(QStringLiteral("DBRichEditText"));
    DBRichEditText->setMaxLength(kTextLength);
    DBRichEditText->setTabChangesFocus(true);
    DBRichEditText->setDataSet(m_table.get());
    DBRichEditText->setDataField(QStringLiteral("Text"));
    label(texts::kLabelText, DBRichEditText);
    column->addWidget(DBRichEditText, 2);

    DBLookupListBoxSeznamNazvu = new widgets::DBLookupList(this);
    DBLookupListBoxSeznamNazvu->setObjectName(QStringLiteral("DBLookupListBoxSeznamNazvu"));
    DBLookupListBoxSeznamNazvu->setDataSet(m_table.get());
    DBLookupListBoxSeznamNazvu->setDataField(QString::fromUtf8(kFieldNazev));
    label(texts::kLabelSeznam, DBLookupListBoxSeznamNazvu);
    column->addWidget(DBLookupListBoxSeznamNazvu, 3);

    DBMemoNazev->installEventFilter(this);
    DBRichEditText->installEventFilter(this);

    resize(520, 560);
}

TOsobZaznamyForm::~TOsobZaznamyForm()
{
    // The controls observe the table, so they go first.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete child;
}

widgets::RecordEditors TOsobZaznamyForm::editors()
{
    // The two editors write into the record as the user types. Insert, Save
    // and Discard start in the title; after a save or discard the focus goes
    // to the list of titles, after a failed save it stays in the title.
    widgets::RecordEditors editors;
    editors.focusNew = [this] { DBMemoNazev->setFocus(); };
    editors.beforeButtons = [this] { DBMemoNazev->setFocus(); };
    editors.afterButtons = [this](bool done) {
        if (done)
            DBLookupListBoxSeznamNazvu->setFocus();
    };
    return editors;
}

QWidget* TOsobZaznamyForm::createToolbar()
{
    auto* toolbar = new QWidget(this);
    toolbar->setObjectName(QStringLiteral("PanelNastroje"));
    auto* row = new QHBoxLayout(toolbar);
    row->setContentsMargins(0, 0, 0, 0);
    DBNavigatorOsobZaz = new widgets::DBNavigator(toolbar);
    DBNavigatorOsobZaz->setObjectName(QStringLiteral("DBNavigatorOsobZaz"));
    DBNavigatorOsobZaz->setDataSet(m_table.get());
    DBNavigatorOsobZaz->setHint(widgets::DBNavigator::Button::First, texts::kHintFirst);
    DBNavigatorOsobZaz->setHint(widgets::DBNavigator::Button::Prior, texts::kHintPrior);
    DBNavigatorOsobZaz->setHint(widgets::DBNavigator::Button::Next, texts::kHintNext);
    DBNavigatorOsobZaz->setHint(widgets::DBNavigator::Button::Last, texts::kHintLast);
    row->addWidget(DBNavigatorOsobZaz);

    m_editing = std::make_unique<widgets::RecordToolbar>(this, *m_table, editingSettings(), editors());
    for (QToolButton* button : m_editing->buttons())
        row->addWidget(button);
    row->addStretch(1);

    SpeedButtonTisk = new QPushButton(texts::kTisk, toolbar);
    SpeedButtonTisk->setObjectName(QStringLiteral("SpeedButtonTisk"));
    SpeedButtonZpet = new QPushButton(texts::kZpet, toolbar);
    SpeedButtonZpet->setObjectName(QStringLiteral("SpeedButtonZpet"));
    SpeedButtonZpet->setToolTip(texts::kHintZpet);
    for (QPushButton* button : {SpeedButtonTisk, SpeedButtonZpet}) {
        button->setFocusPolicy(Qt::NoFocus);
        row->addWidget(button);
    }
    connect(SpeedButtonTisk, &QPushButton::clicked, this, [this] { SpeedButtonTiskClick(); });
    connect(SpeedButtonZpet, &QPushButton::clicked, this, [this] { SpeedButtonZpetClick(); });
    return toolbar;
}

void TOsobZaznamyForm::showOnFirstRecord()
{
    show();
    widgets::guarded([&] { m_table->first(); });
}

void TOsobZaznamyForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The list has the focus when the window is first shown.
    if (!m_shownBefore) {
        m_shownBefore = true;
        DBLookupListBoxSeznamNazvu->setFocus();
    }
}

void TOsobZaznamyForm::SpeedButtonTiskClick()
{
    if (!platform::services().dialogs->confirm(texts::kPrintQuestion))
        return;
    widgets::guarded([&] {
        reports::TextPrinter out(*platform::services().printer);
        printRecords(*m_table, out, font());
    });
}

void TOsobZaznamyForm::SpeedButtonZpetClick()
{
    if (m_editing->finishBeforeLeaving())
        hide();
}

bool TOsobZaznamyForm::saveByKey()
{
    // A failure says why in the window's words, as the save button does; no tone then.
    if (!m_editing->saveQuietly())
        return false;
    sound::toneSavedByKey(m_speaker);
    return true;
}

void TOsobZaznamyForm::cancelByKey()
{
    const store::CursorState state = m_table->state();
    if (state == store::CursorState::Edit || state == store::CursorState::Insert)
        widgets::guarded([&] { m_table->cancel(); });
    sound::beep();
}

bool TOsobZaznamyForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == DBMemoNazev || watched == DBRichEditText) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isEnterKey(key)) {
            // Enter saves. In the text it is then typed as well, so notes can
            // have paragraphs (the record is being edited again); a title
            // is one line.
            const bool saved = saveByKey();
            return !saved || watched == DBMemoNazev;
        }
        if (key->key() == Qt::Key_Escape) {
            cancelByKey();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace organiser
