#include "backup/TNastavARJForm.h"

#include "BackupTexts.h"
#include "backup/ArchiverSettings.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "widgets/ErrorReport.h"
#include "widgets/LetterCase.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace backup {

namespace {
constexpr int kHelpTopic = 10;
constexpr int kWidth = 420;
} // namespace

TNastavARJForm::TNastavARJForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("NastavARJForm"));
    setWindowTitle(texts::kNastavCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);

    auto* column = new QVBoxLayout(this);
    LabelNastavARJ = new QLabel(texts::kLabelFirst, this);
    LabelNastavARJ->setObjectName(QStringLiteral("LabelNastavARJ"));
    LabelNastavARJ->setAlignment(Qt::AlignCenter);
    LabelNastavARJ->setWordWrap(true);
    QFont bold = LabelNastavARJ->font();
    bold.setBold(true);
    LabelNastavARJ->setFont(bold);
    // Room for three wrapped lines, so the window keeps its size as the text changes.
    LabelNastavARJ->setMinimumHeight(LabelNastavARJ->fontMetrics().lineSpacing() * 4);
    column->addWidget(LabelNastavARJ);

    EditNastavARJ = new QLineEdit(this);
    EditNastavARJ->setObjectName(QStringLiteral("EditNastavARJ"));
    EditNastavARJ->setValidator(
        new widgets::LetterCaseValidator(widgets::LetterCaseValidator::Case::Upper, EditNastavARJ));
    column->addWidget(EditNastavARJ);

    auto* buttons = new QHBoxLayout;
    BitBtnUloz = new QPushButton(texts::kUloz, this);
    BitBtnUloz->setObjectName(QStringLiteral("BitBtnUloz"));
    BitBtnZpet = new QPushButton(texts::kZpet, this);
    BitBtnZpet->setObjectName(QStringLiteral("BitBtnZpet"));
    connect(BitBtnUloz, &QPushButton::clicked, this, [this] { widgets::guarded([this] { BitBtnUlozClick(); }); });
    connect(BitBtnZpet, &QPushButton::clicked, this, [this] { BitBtnZpetClick(); });
    buttons->addStretch(1);
    buttons->addWidget(BitBtnUloz);
    buttons->addWidget(BitBtnZpet);
    buttons->addStretch(1);
    column->addLayout(buttons);

    setFixedWidth(kWidth);
}

void TNastavARJForm::ZalohovaniARJClick()
{
    // Made visible, not brought forward when it already is.
    show();
}

void TNastavARJForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Centred when first shown; afterwards it stays where the user put it.
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TNastavARJForm::BitBtnUlozClick()
{
    const QString directory = EditNastavARJ->text();
    if (directory.isEmpty()) {
        LabelNastavARJ->setText(texts::kLabelEmpty);
        return;
    }
    writeArchiverDirectory(directory);
    LabelNastavARJ->setText(texts::kLabelSaved);
    BitBtnUloz->hide();
    BitBtnZpet->setText(texts::kKonec);
    sound::questionSound();
}

void TNastavARJForm::BitBtnZpetClick()
{
    LabelNastavARJ->setText(texts::kLabelShort);
    BitBtnUloz->show();
    BitBtnZpet->setText(texts::kZpet);
    close();
}

} // namespace backup
