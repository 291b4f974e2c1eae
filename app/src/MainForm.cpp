#include "app/MainForm.h"

#include "MainFormTexts.h"
#include "app/AddressGrid.h"
#include "app/Help.h"
#include "app/Logo.h"

#include "backup/ArchiverSettings.h"
#include "sound/Tones.h"
#include "store/Database.h"
#include "store/Query.h"
#include "widgets/DBNavigator.h"
#include "widgets/DataControls.h"
#include "widgets/ErrorReport.h"
#include "widgets/KeyListReader.h"
#include "widgets/LetterCase.h"
#include "widgets/RecordToolbar.h"
#include "widgets/UnsavedWork.h"
#include "widgets/SpeedButton.h"

#include <QCloseEvent>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>
#include <vector>

namespace app {

namespace {

const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);
const QColor kLightYellow(255, 255, 225);
const QColor kPanelNaDotaz(122, 150, 180);
constexpr int kFoundPanelMaxWidth = 640;
constexpr int kHelpMainWindow = 3;
constexpr int kHelpControls = 1;

widgets::RecordToolbarSettings editingSettings()
{
    widgets::RecordToolbarSettings editing;
    editing.insertHint = texts::kHintVloz;
    editing.deleteHint = texts::kHintSmaz;
    editing.saveHint = texts::kHintPotvrd;
    editing.discardHint = texts::kHintZrus;
    editing.duplicateMessage = texts::kDuplicateSurname;
    editing.deleteQuestion = texts::kDeleteQuestion;
    editing.keyField = "Příjmení";
    return editing;
}

} // namespace

TMainForm::TMainForm(store::Database& database, QWidget* parent)
    : QMainWindow(parent),
      m_database(database),
      m_table(std::make_unique<store::Cursor>(database, "Dat.DB"))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(texts::kCaption);
    setHelpTopic(this, kHelpMainWindow);

    m_table->open();
    m_keyList = new widgets::KeyListReader(this, texts::kReadingKeyList);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Central"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(createToolbar());
    column->addWidget(createGridArea(), 1);
    m_editing->setEditors(widgets::gridEditors(Grid));
    setCentralWidget(central);
    createMenu();
    createPanelTimer();

    resize(900, 600);
}

TMainForm::~TMainForm()
{
    // The controls observe the cursor, so they go before it does.
    delete takeCentralWidget();
}

QWidget* TMainForm::createToolbar()
{
    m_toolbar = new QFrame(this);
    m_toolbar->setObjectName(QStringLiteral("PanelNastroje"));
    m_toolbar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    widgets::setBackground(m_toolbar, kNavy);
    setHelpTopic(m_toolbar, kHelpControls);
    auto* row = new QHBoxLayout(m_toolbar);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);

    HledEdit = new QLineEdit(m_toolbar);
    HledEdit->setObjectName(QStringLiteral("HledEdit"));
    HledEdit->setMaxLength(18);
    HledEdit->setValidator(
        new widgets::LetterCaseValidator(widgets::LetterCaseValidator::Case::Upper, HledEdit));
    QPalette editPalette = HledEdit->palette();
    editPalette.setColor(QPalette::Base, kLightYellow);
    editPalette.setColor(QPalette::Text, Qt::black);
    HledEdit->setPalette(editPalette);
    QFont bold = HledEdit->font();
    bold.setBold(true);
    HledEdit->setFont(bold);
    HledEdit->setFixedWidth(HledEdit->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 14);
    setHelpTopic(HledEdit, kHelpControls);
    connect(HledEdit, &QLineEdit::textChanged, this, [this] { HledEditChange(); });
    row->addWidget(HledEdit);
    row->addSpacing(8);

    SpeedButtonPozor = widgets::speedButton(m_toolbar, "SpeedButtonPozor", texts::kHintPozor,
                                  QStringLiteral("!"), Qt::red);
    SpeedButtonVyroci = widgets::speedButton(m_toolbar, "SpeedButtonVyroci", texts::kHintVyroci,
                                   QStringLiteral("★"), QColor(200, 120, 0));
    SpeedButtonSvatek = widgets::speedButton(m_toolbar, "SpeedButtonSvatek", texts::kHintSvatek,
                                   QStringLiteral("✿"), QColor(0, 128, 0));
    // Their windows and checks come with the reminders and the name-day calendar.
    for (QToolButton* button : {SpeedButtonPozor, SpeedButtonVyroci, SpeedButtonSvatek}) {
        button->setEnabled(false);
        row->addWidget(button);
    }
    row->addSpacing(8);

    DBNavigator = new widgets::DBNavigator(m_toolbar);
    DBNavigator->setObjectName(QStringLiteral("DBNavigator"));
    DBNavigator->setDataSet(m_table.get());
    DBNavigator->setHint(widgets::DBNavigator::Button::First, texts::kHintFirst);
    DBNavigator->setHint(widgets::DBNavigator::Button::Prior, texts::kHintPrior);
    DBNavigator->setHint(widgets::DBNavigator::Button::Next, texts::kHintNext);
    DBNavigator->setHint(widgets::DBNavigator::Button::Last, texts::kHintLast);
    setHelpTopic(DBNavigator, kHelpControls);
    connect(DBNavigator, &widgets::DBNavigator::clicked, this, [this] { navigatorMoved(); });
    row->addWidget(DBNavigator);
    row->addSpacing(8);

    m_editing = std::make_unique<widgets::RecordToolbar>(m_toolbar, *m_table, editingSettings());
    for (QToolButton* button : m_editing->buttons())
        row->addWidget(button);
    row->addStretch(1);

    // The record-count label lies over the logo; the two take turns.
    auto* logoHolder = new QWidget(m_toolbar);
    auto* stack = new QGridLayout(logoHolder);
    stack->setContentsMargins(0, 0, 0, 0);
    ImageLogo = new QLabel(logoHolder);
    ImageLogo->setObjectName(QStringLiteral("ImageLogo"));
    ImageLogo->setPixmap(logoPixmap(30));
    stack->addWidget(ImageLogo, 0, 0, Qt::AlignCenter);
    LabelPocetZaznamu = new QLabel(logoHolder);
    LabelPocetZaznamu->setObjectName(QStringLiteral("LabelPocetZaznamu"));
    LabelPocetZaznamu->setAlignment(Qt::AlignCenter);
    QFont countFont = LabelPocetZaznamu->font();
    countFont.setBold(true);
    countFont.setPointSize(10);
    LabelPocetZaznamu->setFont(countFont);
    QPalette countPalette = LabelPocetZaznamu->palette();
    countPalette.setColor(QPalette::WindowText, Qt::yellow);
    LabelPocetZaznamu->setPalette(countPalette);
    LabelPocetZaznamu->hide();
    stack->addWidget(LabelPocetZaznamu, 0, 0, Qt::AlignCenter);
    row->addWidget(logoHolder);
    row->addSpacing(12);

    BitBtnKonec = new QPushButton(texts::kKonecButton, m_toolbar);
    BitBtnKonec->setObjectName(QStringLiteral("BitBtnKonec"));
    BitBtnKonec->setFocusPolicy(Qt::NoFocus);
    connect(BitBtnKonec, &QPushButton::clicked, this, [this] { KonecClick(); });
    row->addWidget(BitBtnKonec);
    return m_toolbar;
}

QWidget* TMainForm::createGridArea()
{
    m_gridArea = new QWidget(this);
    m_gridArea->setObjectName(QStringLiteral("GridArea"));
    auto* layout = new QVBoxLayout(m_gridArea);
    layout->setContentsMargins(0, 0, 0, 0);

    Grid = new AddressGrid(m_gridArea);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setFont(QFont(QStringLiteral("Arial"), 8));
    Grid->setDataSet(m_table.get(), {
                                         {QStringLiteral("Příjmení"), texts::kTitlePrijmeni, 180},
                                         {QStringLiteral("Jméno"), QString(), 90},
                                         {QStringLiteral("Adresa"), QString(), 280},
                                         {QStringLiteral("Telefon"), QString(), 130},
                                         {QStringLiteral("Poznámka"), QString(), 280},
                                     });
    Grid->setCellColors(Qt::white, Qt::black);
    QHeaderView* titles = Grid->horizontalHeader();
    QFont titleFont(QStringLiteral("Arial"), 8);
    titleFont.setBold(true);
    titles->setFont(titleFont);
    QPalette titlePalette = titles->palette();
    titlePalette.setColor(QPalette::ButtonText, kMaroon);
    titlePalette.setColor(QPalette::WindowText, kMaroon);
    titles->setPalette(titlePalette);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    Grid->setShowGrid(true);
    setHelpTopic(Grid, kHelpControls);
    layout->addWidget(Grid);

    createReminderPanels(m_gridArea);
    createSearchPanels(m_gridArea);
    return m_gridArea;
}

void TMainForm::createSearchPanels(QWidget* area)
{
    PanelHledText = new QFrame(area);
    PanelHledText->setObjectName(QStringLiteral("PanelHledText"));
    PanelHledText->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelHledText->setAutoFillBackground(true);
    auto* grid = new QVBoxLayout(PanelHledText);
    auto* top = new QHBoxLayout;
    EditHledani = new QLineEdit(texts::kSearchInitial, PanelHledText);
    EditHledani->setObjectName(QStringLiteral("EditHledani"));
    EditHledani->setValidator(
        new widgets::LetterCaseValidator(widgets::LetterCaseValidator::Case::Lower, EditHledani));
    // One filter for the whole program: the grid area's size, clicks into the
    // search text and Alt+D for "Další" wherever the focus is in this window.
    qApp->installEventFilter(this);
    connect(EditHledani, &QLineEdit::textChanged, this, [this] { EditHledaniChange(); });
    top->addWidget(EditHledani, 1);
    SpeedButtonHledej = new QToolButton(PanelHledText);
    SpeedButtonHledej->setObjectName(QStringLiteral("SpeedButtonHledej"));
    SpeedButtonHledej->setText(texts::kHledej);
    SpeedButtonDalsi = new QToolButton(PanelHledText);
    SpeedButtonDalsi->setObjectName(QStringLiteral("SpeedButtonDalsi"));
    SpeedButtonDalsi->setText(texts::kDalsi);
    SpeedButtonZpet = new QToolButton(PanelHledText);
    SpeedButtonZpet->setObjectName(QStringLiteral("SpeedButtonZpet"));
    SpeedButtonZpet->setText(texts::kZpet);
    for (QToolButton* button : {SpeedButtonHledej, SpeedButtonDalsi, SpeedButtonZpet}) {
        button->setFocusPolicy(Qt::NoFocus);
        top->addWidget(button);
    }
    connect(SpeedButtonHledej, &QToolButton::clicked, this, [this] { SpeedButtonHledejClick(); });
    connect(SpeedButtonDalsi, &QToolButton::clicked, this, [this] { Dalsi(); });
    connect(SpeedButtonZpet, &QToolButton::clicked, this, [this] { SpeedButtonZpetClick(); });
    grid->addLayout(top);

    GroupBoxSloupec = new QGroupBox(texts::kVeSloupci, PanelHledText);
    GroupBoxSloupec->setObjectName(QStringLiteral("GroupBoxSloupec"));
    auto* choices = new QGridLayout(GroupBoxSloupec);
    const auto radio = [this](const char* name, const QString& caption) {
        auto* button = new QRadioButton(caption, GroupBoxSloupec);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QRadioButton::clicked, this, [this] { EditHledaniChange(); });
        return button;
    };
    RadioButtonPrijmeni = radio("RadioButtonPrijmeni", texts::kRadioPrijmeni);
    RadioButtonJmeno = radio("RadioButtonJmeno", texts::kRadioJmeno);
    RadioButtonAdresa = radio("RadioButtonAdresa", texts::kRadioAdresa);
    RadioButtonTelefon = radio("RadioButtonTelefon", texts::kRadioTelefon);
    RadioButtonPoznamka = radio("RadioButtonPoznamka", texts::kRadioPoznamka);
    choices->addWidget(RadioButtonPrijmeni, 0, 0);
    choices->addWidget(RadioButtonJmeno, 0, 1);
    choices->addWidget(RadioButtonAdresa, 0, 2);
    choices->addWidget(RadioButtonTelefon, 1, 0);
    choices->addWidget(RadioButtonPoznamka, 1, 1);
    grid->addWidget(GroupBoxSloupec);
    PanelHledText->resize(PanelHledText->sizeHint().expandedTo(QSize(330, 0)));
    PanelHledText->hide();

    PanelNaDotaz = new QFrame(area);
    PanelNaDotaz->setObjectName(QStringLiteral("PanelNaDotaz"));
    PanelNaDotaz->setFrameStyle(QFrame::Panel | QFrame::Raised);
    widgets::setBackground(PanelNaDotaz, kPanelNaDotaz);
    auto* found = new QGridLayout(PanelNaDotaz);
    const auto field = [this](const char* name, const QString& fieldName) {
        auto* label = new widgets::DBText(PanelNaDotaz);
        label->setObjectName(QString::fromLatin1(name));
        label->setDataSet(m_table.get());
        label->setDataField(fieldName);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        return label;
    };
    DBTextPrijmeni = field("DBTextPrijmeni", QStringLiteral("Příjmení"));
    DBTextJmeno = field("DBTextJmeno", QStringLiteral("Jméno"));
    DBTextTelefon = field("DBTextTelefon", QStringLiteral("Telefon"));
    DBTextAdresa = field("DBTextAdresa", QStringLiteral("Adresa"));
    DBTextPoznamka = field("DBTextPoznamka", QStringLiteral("Poznámka"));
    // Long firm names and addresses wrap instead of being cut.
    for (widgets::DBText* label : {DBTextPrijmeni, DBTextJmeno, DBTextTelefon, DBTextAdresa,
                                   DBTextPoznamka}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    DBTextPoznamka->setFrameStyle(QFrame::Box | QFrame::Plain);
    found->addWidget(DBTextPrijmeni, 0, 0);
    found->addWidget(DBTextJmeno, 0, 1);
    found->addWidget(DBTextTelefon, 0, 2);
    found->addWidget(DBTextAdresa, 1, 0, 1, 3);
    found->addWidget(DBTextPoznamka, 2, 0, 1, 3);
    found->setColumnStretch(0, 3);
    found->setColumnStretch(1, 2);
    found->setColumnStretch(2, 2);
    found->setRowStretch(2, 1);
    PanelNaDotaz->resize(PanelHledText->width() + 60, PanelHledText->height() + 30);
    paintFieldLabels(QString());
    PanelNaDotaz->hide();
}

void TMainForm::placeFloatingPanels()
{
    const QRect area = m_gridArea->rect();
    const int margin = 24;
    PanelHledText->move(area.right() - PanelHledText->width() - margin,
                        area.bottom() - PanelHledText->height() - margin);
    // The found record's panel takes the room left of the search panel, and
    // the height its wrapped texts need.
    const int minimumWidth = PanelHledText->width() + 60;
    const int width = std::clamp(area.width() - PanelHledText->width() - 3 * margin, minimumWidth,
                                 std::max(minimumWidth, kFoundPanelMaxWidth));
    const int height = std::max(PanelHledText->height() + 30,
                                PanelNaDotaz->layout()->totalHeightForWidth(width));
    PanelNaDotaz->resize(width, height);
    PanelNaDotaz->move(margin, area.bottom() - PanelNaDotaz->height() - margin);
    placeReminderPanels(area);
    for (QWidget* panel : {static_cast<QWidget*>(PanelSvatek), static_cast<QWidget*>(EditPozor),
                           static_cast<QWidget*>(PanelHledText), static_cast<QWidget*>(PanelNaDotaz)})
        panel->raise();
}

// Alt+D is the mnemonic of both "&Další" and the menu "&Doplňky"; Qt leaves an
// ambiguous mnemonic unanswered. While "Další" can be pressed, the key is its.
bool TMainForm::takesSearchNextKey(QObject* watched, QEvent* event) const
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_D || (key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == this && SpeedButtonDalsi->isVisible() &&
           SpeedButtonDalsi->isEnabled();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (takesSearchNextKey(watched, event)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            SpeedButtonDalsi->click();
        return true;
    }
    if (watched == m_gridArea && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeFloatingPanels();
    if (watched == EditHledani && event->type() == QEvent::MouseButtonPress)
        EditHledaniChange();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FormCreate()
{
    // The start-up step, in its fixed order:
    //   1. make sure the archiver directory file exists (floppy backup)
    //   2. read the saved grid background colour
    //   3. disable the two floppy items when no archiver directory is set (floppy backup)
    //   4. read the saved grid text colour
    //   5. set the two start-with-the-computer items
    const std::vector<std::function<void()>> settings = settingsStartupParts();
    const std::vector<std::function<void()>> parts = {
        [] { backup::ensureArchiverFile(); }, settings[0],
        [this] { disableFloppyItemsUnlessArchiverSet(); }, settings[1], settings[2]};
    widgets::guarded([&] {
        for (const auto& part : parts)
            part();
    });
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program like "Konec", or not at all.
    KonecClick();
    if (m_ending)
        event->accept();
    else
        event->ignore();
}

void TMainForm::KonecClick()
{
    if (m_ending)
        return;
    bool settled = false;
    widgets::guarded([&] { settled = widgets::UnsavedWork::settleAll(); });
    if (settled)
        endProgram();
}

void TMainForm::endProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    // A record still being typed is dropped, never saved.
    Grid->dropOpenEditor();
    m_table->close();
    QCoreApplication::exit(0);
}

} // namespace app
