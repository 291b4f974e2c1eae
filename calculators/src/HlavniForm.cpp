#include "calculators/HlavniForm.h"

#include "BmiTexts.h"
#include "FormSupport.h"
#include "calculators/Bmi.h"

#include "platform/Platform.h"
#include "widgets/ErrorReport.h"

#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <stdexcept>

namespace calculators {

namespace {

namespace texts = bmitexts;

constexpr int kHelpTopic = 13;
constexpr int kPictureSize = 32;
const QColor kNavy(0, 0, 128);
const QColor kRed(255, 0, 0);
const QColor kCream(255, 251, 240);

const QString kLimitFieldNames[] = {
    QStringLiteral("EditPodvaha"),  QStringLiteral("EditNormalni"),
    QStringLiteral("EditNadvaha"),  QStringLiteral("EditZvysenaNadvaha"),
    QStringLiteral("EditObezita1"), QStringLiteral("EditObezita2"),
    QStringLiteral("EditObezita3"),
};
const QString* const kLimitRowTexts[] = {
    &texts::kRowPodvaha,  &texts::kRowNormalni, &texts::kRowNadvaha, &texts::kRowZvysenaNadvaha,
    &texts::kRowObezita1, &texts::kRowObezita2, &texts::kRowObezita3,
};

} // namespace

THlavniForm::THlavniForm(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HlavniForm"));
    setWindowTitle(texts::kCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);

    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(createInputs());
    auto* figures = new QLabel(this);
    figures->setObjectName(QStringLiteral("ImageFigurky"));
    figures->setPixmap(stickFiguresPicture());
    figures->setAlignment(Qt::AlignCenter);
    left->addWidget(figures);
    top->addLayout(left, 1);
    top->addWidget(createButtons());
    column->addLayout(top);
    column->addWidget(createResults());

    EditVyska->installEventFilter(this);
    EditVaha->installEventFilter(this);
    connect(BitBtnVypocet, &QPushButton::clicked, this, [this] { widgets::guarded([this] { BitBtnVypocetClick(); }); });
    connect(BitBtnTabulka, &QPushButton::clicked, this, [this] { BitBtnTabulkaClick(); });
    connect(BitBtnText, &QPushButton::clicked, this, [this] { BitBtnTextClick(); });
    connect(BitBtnZavrit, &QPushButton::clicked, this, [this] { BitBtnZavritClick(); });
    EditVyska->setFocus();
    // Room for the longest category, so the window does not grow under the user.
    resize(460, sizeHint().height());
}

THlavniForm::~THlavniForm() = default;

QWidget* THlavniForm::createInputs()
{
    auto* group = new QGroupBox(texts::kGroupInputs, this);
    auto* grid = new QGridLayout(group);
    EditVyska = new QLineEdit(group);
    EditVyska->setObjectName(QStringLiteral("EditVyska"));
    EditVaha = new QLineEdit(group);
    EditVaha->setObjectName(QStringLiteral("EditVaha"));
    auto* heightLabel = new QLabel(texts::kVyska, group);
    auto* weightLabel = new QLabel(texts::kVaha, group);
    heightLabel->setBuddy(EditVyska);
    weightLabel->setBuddy(EditVaha);
    for (QLineEdit* edit : {EditVyska, EditVaha})
        colourText(edit, kNavy, true);
    grid->addWidget(heightLabel, 0, 0);
    grid->addWidget(EditVyska, 0, 1);
    grid->addWidget(weightLabel, 1, 0);
    grid->addWidget(EditVaha, 1, 1);
    grid->addWidget(new QLabel(texts::kWholeNumbers, group), 2, 0, 1, 2, Qt::AlignCenter);
    return group;
}

QWidget* THlavniForm::createButtons()
{
    auto* panel = new QWidget(this);
    auto* buttons = new QVBoxLayout(panel);
    BitBtnVypocet = pushButton("BitBtnVypocet", texts::kVypocet, {}, panel);
    BitBtnTabulka = pushButton("BitBtnTabulka", texts::kTabulka, texts::kHintTabulka, panel);
    BitBtnText = pushButton("BitBtnText", texts::kText, texts::kHintText, panel);
    BitBtnZavrit = pushButton("BitBtnZavrit", texts::kZavrit, {}, panel);
    for (QPushButton* b : {BitBtnVypocet, BitBtnTabulka, BitBtnText, BitBtnZavrit})
        buttons->addWidget(b);
    buttons->addStretch(1);
    return panel;
}

QWidget* THlavniForm::createResults()
{
    auto* group = new QGroupBox(texts::kGroupResults, this);
    auto* grid = new QGridLayout(group);

    LabelKategorie = new QLabel(group);
    LabelKategorie->setObjectName(QStringLiteral("LabelKategorie"));
    LabelKategorie->setAlignment(Qt::AlignCenter);
    ImageTvar = new QLabel(group);
    ImageTvar->setObjectName(QStringLiteral("ImageTvar"));
    ImageTvar->setFixedSize(kPictureSize, kPictureSize);
    ImageTvar->hide();
    LabelRizika = new QLabel(group);
    LabelRizika->setObjectName(QStringLiteral("LabelRizika"));
    colourText(LabelKategorie, kRed, true);
    colourText(LabelRizika, kRed, true);

    grid->addWidget(new QLabel(texts::kKategorie, group), 0, 0);
    grid->addWidget(LabelKategorie, 0, 1);
    grid->addWidget(ImageTvar, 0, 2, 2, 2, Qt::AlignRight);
    grid->addWidget(new QLabel(texts::kRizika, group), 1, 0);
    grid->addWidget(LabelRizika, 1, 1);
    // The picture keeps its place when hidden, so the rows do not jump.
    grid->setRowMinimumHeight(0, kPictureSize / 2);
    grid->setRowMinimumHeight(1, kPictureSize / 2);

    for (std::size_t row = 0; row < m_limitFields.size(); ++row) {
        const int line = static_cast<int>(row) + 2;
        auto* field = new QLineEdit(group);
        field->setObjectName(kLimitFieldNames[row]);
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignRight);
        field->setMaximumWidth(70);
        field->setFocusPolicy(Qt::ClickFocus);
        m_limitFields[row] = field;
        grid->addWidget(new QLabel(*kLimitRowTexts[row], group), line, 0);
        grid->addWidget(field, line, 1, Qt::AlignRight);
        grid->addWidget(new QLabel(texts::kKg, group), line, 2);
    }
    return group;
}

QString THlavniForm::heightText() const
{
    return EditVyska->text();
}

QString THlavniForm::weightText() const
{
    return EditVaha->text();
}

QString THlavniForm::categoryText() const
{
    return LabelKategorie->text();
}

bool THlavniForm::showPicture(int picture)
{
    const QString relative = picturePath(picture);
    const platform::Paths* paths = platform::services().paths;
    const QString file = paths ? QDir(paths->workDir()).filePath(relative) : relative;
    QPixmap pixmap;
    if (!pixmap.load(file)) {
        ImageTvar->hide();
        return false;
    }
    ImageTvar->setPixmap(pixmap.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio));
    ImageTvar->show();
    return true;
}

void THlavniForm::BitBtnVypocetClick()
{
    const auto outcome = computeBmi(EditVyska->text(), EditVaha->text());
    if (const auto* error = std::get_if<BmiError>(&outcome))
        throw std::runtime_error(error->text.toStdString());
    const BmiResult& result = std::get<BmiResult>(outcome);
    LabelKategorie->setText(result.category.category);
    LabelRizika->setText(result.category.risk);
    if (!showPicture(result.category.picture))
        throw std::runtime_error(texts::kCannotOpenFile.arg(picturePath(result.category.picture)).toStdString());
    for (std::size_t row = 0; row < m_limitFields.size(); ++row)
        m_limitFields[row]->setText(QString::number(result.limits[row]));
}

void THlavniForm::SmazEdity()
{
    EditVyska->clear();
    EditVaha->clear();
    LabelKategorie->clear();
    LabelRizika->clear();
    for (QLineEdit* field : m_limitFields)
        field->clear();
    ImageTvar->hide();
}

void THlavniForm::BitBtnTextClick()
{
    showInFront(m_text);
}

void THlavniForm::BitBtnTabulkaClick()
{
    showInFront(m_records);
}

void THlavniForm::BitBtnZavritClick()
{
    close();
}

void THlavniForm::focusHeight()
{
    EditVyska->setFocus();
}

bool THlavniForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditVyska && event->type() == QEvent::MouseButtonPress)
        SmazEdity();
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter walks from the height to the weight and on to "&Výpočet".
            if (watched == EditVyska) {
                EditVaha->setFocus();
                return true;
            }
            if (watched == EditVaha) {
                BitBtnVypocet->setFocus();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

TTextForm::TTextForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TextForm"));
    setWindowTitle(texts::kTextCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);
    setAutoFillBackground(true);
    QPalette cream = palette();
    cream.setColor(QPalette::Window, kCream);
    cream.setColor(QPalette::Base, kCream);
    setPalette(cream);

    auto* column = new QVBoxLayout(this);
    auto* text = new QTextEdit(this);
    text->setObjectName(QStringLiteral("MemoText"));
    text->setReadOnly(true);
    text->setPlainText(texts::kExplanation);
    QTextCursor all(text->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
    column->addWidget(text, 1);

    auto* back = pushButton("BitBtnZpet", texts::kTextZpet, {}, this);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(back);
    row->addStretch(1);
    column->addLayout(row);
    connect(back, &QPushButton::clicked, this, [this] { BitBtnZpetClick(); });
    resize(520, 480);
}

TTextForm::~TTextForm() = default;

void TTextForm::BitBtnZpetClick()
{
    close();
    if (m_calculator)
        m_calculator->focusHeight();
}

} // namespace calculators
