#include "backup/TNastavARJForm.h"

#include "BackupTexts.h"
#include "backup/ArchiverSettings.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "widgets/ErrorReport.h"
#include "widgets/LetterCase.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace backup {

namespace {
constexpr int kHelpTopic = 10;
constexpr int kMargin = 40;
// Blank runs at least this long stood where the original's word wrap broke a line.
constexpr int kBreakingBlanks = 10;
} // namespace

QString labelLines(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral(" {%1,}").arg(kBreakingBlanks));
    QString lines = text;
    lines.replace(blanks, QStringLiteral("\n"));
    while (lines.startsWith(QLatin1Char('\n')))
        lines.remove(0, 1);
    return lines;
}

TNastavARJForm::TNastavARJForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("NastavARJForm"));
    setWindowTitle(texts::kNastavCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);

    auto* column = new QVBoxLayout(this);
    LabelNastavARJ = new QLabel(this);
    LabelNastavARJ->setObjectName(QStringLiteral("LabelNastavARJ"));
    LabelNastavARJ->setAlignment(Qt::AlignCenter);
    LabelNastavARJ->setWordWrap(true);
    QFont bold = LabelNastavARJ->font();
    bold.setBold(true);
    LabelNastavARJ->setFont(bold);
    setLabel(texts::kLabelFirst);
    // Wide enough for the longest line, high enough for three, so the window
    // keeps its size as the text changes.
    int widest = 0;
    for (const QString& line : labelLines(texts::kLabelFirst).split(QLatin1Char('\n')))
        widest = std::max(widest, LabelNastavARJ->fontMetrics().horizontalAdvance(line));
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

    setFixedWidth(widest + kMargin);
}

void TNastavARJForm::setLabel(const QString& text)
{
    m_labelText = text;
    LabelNastavARJ->setText(labelLines(text));
}

void TNastavARJForm::ZalohovaniARJClick()
{
    // Made visible, not brought forward when it already is.
    show();
}

void TNastavARJForm::BitBtnUlozClick()
{
    const QString directory = EditNastavARJ->text();
    if (directory.isEmpty()) {
        setLabel(texts::kLabelEmpty);
        return;
    }
    writeArchiverDirectory(directory);
    setLabel(texts::kLabelSaved);
    BitBtnUloz->hide();
    BitBtnZpet->setText(texts::kKonec);
    sound::questionSound();
}

void TNastavARJForm::BitBtnZpetClick()
{
    setLabel(texts::kLabelShort);
    BitBtnUloz->show();
    BitBtnZpet->setText(texts::kZpet);
    close();
}

} // namespace backup
