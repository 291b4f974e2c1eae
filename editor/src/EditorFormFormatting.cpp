// The letter editor's formatting: the font, size, style, alignment and
// bullet controls of the toolbar, the font dialog and the ruler, all brought
// into line with the selection under the updating flag.

#include "editor/EditorForm.h"

#include "editor/RulerGeometry.h"

#include "EditorFormParts.h"
#include "EditorTexts.h"

#include "platform/Platform.h"
#include "widgets/ErrorReport.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

namespace {

constexpr int kMinSize = 0;
constexpr int kMaxSize = 100;
constexpr int kRulerTabs = 100;

// The up/down arrows attached to the font size: each click moves the number
// by one within 0..100.
QWidget* createUpDown(QWidget* parent, QLineEdit* buddy)
{
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("UpDown1"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const int step : {1, -1}) {
        auto* arrow = new QToolButton(box);
        arrow->setObjectName(step > 0 ? QStringLiteral("UpDown1Up") : QStringLiteral("UpDown1Down"));
        arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setFixedSize(16, 11);
        arrow->setAutoRepeat(true);
        QObject::connect(arrow, &QToolButton::clicked, buddy, [buddy, step] {
            bool ok = false;
            const int value = buddy->text().toInt(&ok);
            buddy->setText(QString::number(std::clamp((ok ? value : kMinSize) + step, kMinSize, kMaxSize)));
        });
        layout->addWidget(arrow);
    }
    return box;
}

// An alignment picture: four lines of text set left, centred or right.
QIcon alignmentIcon(Alignment alignment)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::black, 1.5));
    const int widths[] = {14, 9, 14, 9};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = alignment == Alignment::Left     ? 1
                      : alignment == Alignment::Right  ? 15 - w
                                                       : (16 - w) / 2;
        const int y = 2 + i * 4;
        painter.drawLine(x, y, x + w, y);
    }
    return QIcon(pixmap);
}

} // namespace

void TEditorForm::createFormattingControls(QToolBar* bar)
{
    auto toggle = [this, bar](const char* name, const QString& text, const QString& hint) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setCheckable(true);
        b->setAutoRaise(true);
        detail::setHint(b, hint);
        bar->addWidget(b);
        return b;
    };

    FontName = new QComboBox(bar);
    FontName->setObjectName(QStringLiteral("FontName"));
    FontName->setEditable(true);
    FontName->setInsertPolicy(QComboBox::NoInsert);
    FontName->setMinimumContentsLength(16);
    FontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    FontName->setEditText(texts::kFontNameStart);
    detail::setHint(FontName, texts::kHintFontName);
    // Only an entry chosen from the list changes the font; typed text does not.
    connect(FontName, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { widgets::guarded([&] { FontNameChange(index); }); });
    bar->addWidget(FontName);
    bar->addSeparator();

    FontSize = new QLineEdit(QStringLiteral("0"), bar);
    FontSize->setObjectName(QStringLiteral("FontSize"));
    FontSize->setFixedWidth(36);
    detail::setHint(FontSize, texts::kHintFontSize);
    connect(FontSize, &QLineEdit::textChanged, this, [this] { widgets::guarded([&] { FontSizeChange(); }); });
    bar->addWidget(FontSize);
    UpDown1 = createUpDown(bar, FontSize);
    bar->addWidget(UpDown1);

    BoldButton = toggle("BoldButton", QStringLiteral("B"), texts::kHintBold);
    QFont bold = BoldButton->font();
    bold.setBold(true);
    BoldButton->setFont(bold);
    ItalicButton = toggle("ItalicButton", QStringLiteral("I"), texts::kHintItalic);
    QFont italic = ItalicButton->font();
    italic.setItalic(true);
    ItalicButton->setFont(italic);
    UnderlineButton = toggle("UnderlineButton", QStringLiteral("U"), texts::kHintUnderline);
    QFont underline = UnderlineButton->font();
    underline.setUnderline(true);
    UnderlineButton->setFont(underline);
    connect(BoldButton, &QToolButton::clicked, this, [this] { widgets::guarded([&] { BoldButtonClick(); }); });
    connect(ItalicButton, &QToolButton::clicked, this, [this] { widgets::guarded([&] { ItalicButtonClick(); }); });
    connect(UnderlineButton, &QToolButton::clicked, this,
            [this] { widgets::guarded([&] { UnderlineButtonClick(); }); });
    bar->addSeparator();

    LeftAlign = toggle("LeftAlign", texts::kHintLeft, texts::kHintLeft);
    CenterAlign = toggle("CenterAlign", texts::kHintCentre, texts::kHintCentre);
    RightAlign = toggle("RightAlign", texts::kHintRight, texts::kHintRight);
    LeftAlign->setIcon(alignmentIcon(Alignment::Left));
    CenterAlign->setIcon(alignmentIcon(Alignment::Centre));
    RightAlign->setIcon(alignmentIcon(Alignment::Right));
    LeftAlign->setChecked(true);
    m_alignGroup = new QButtonGroup(this);
    m_alignGroup->setExclusive(true);
    m_alignGroup->addButton(LeftAlign, static_cast<int>(Alignment::Left));
    m_alignGroup->addButton(RightAlign, static_cast<int>(Alignment::Right));
    m_alignGroup->addButton(CenterAlign, static_cast<int>(Alignment::Centre));
    connect(m_alignGroup, &QButtonGroup::idClicked, this,
            [this](int value) { widgets::guarded([&] { AlignButtonClick(value); }); });
    BulletsButton = toggle("BulletsButton", QStringLiteral("•"), texts::kHintBullets);
    connect(BulletsButton, &QToolButton::clicked, this, [this] { widgets::guarded([&] { BulletsButtonClick(); }); });
}

void TEditorForm::FillFontNames()
{
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    const QString shown = FontName->currentText();
    const QSignalBlocker blocker(FontName);
    FontName->clear();
    FontName->addItems(families);
    FontName->setEditText(shown);
}

void TEditorForm::BuildRuler()
{
    Ruler->setRulerText(QStringLiteral("\t|").repeated(kRulerTabs));
}

void TEditorForm::SelectionChange()
{
    m_updating = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{m_updating};

    const QTextCursor selection = Editor->textCursor();
    const ParagraphAttributes para = paragraphAttributes(selection);
    const int width = Ruler->contentsRect().width();
    Ruler->placeMarkers(ruler::firstMarkerLeft(para.firstIndent),
                        ruler::leftMarkerLeft(para.firstIndent, para.leftIndent),
                        ruler::rightMarkerLeft(width, para.rightIndent));

    const CharAttributes chars = charAttributes(Editor->currentCharFormat(), Editor->document()->defaultFont());
    BoldButton->setChecked(chars.bold);
    ItalicButton->setChecked(chars.italic);
    UnderlineButton->setChecked(chars.underline);
    BulletsButton->setChecked(para.bullets);
    FontSize->setText(QString::number(chars.points));
    FontName->setEditText(chars.family);
    if (para.alignment != Alignment::Justified)
        m_alignGroup->button(static_cast<int>(para.alignment))->setChecked(true);
    ShowCaretPosition();
}

// ActiveAttributes: the selected characters when at least one is selected,
// else the default attributes. Those are also merged into what typing at the
// caret gives, so the change shows in the next character typed.
void TEditorForm::changeCharacters(const QTextCharFormat& change)
{
    QTextCursor cursor = Editor->textCursor();
    if (cursor.hasSelection()) {
        cursor.mergeCharFormat(change);
    } else {
        changeDefaultCharacters(*Editor->document(), change);
        Editor->mergeCurrentCharFormat(change);
    }
}

void TEditorForm::BoldButtonClick()
{
    if (m_updating)
        return;
    QTextCharFormat change;
    change.setFontWeight(BoldButton->isChecked() ? QFont::Bold : QFont::Normal);
    changeCharacters(change);
}

void TEditorForm::ItalicButtonClick()
{
    if (m_updating)
        return;
    QTextCharFormat change;
    change.setFontItalic(ItalicButton->isChecked());
    changeCharacters(change);
}

void TEditorForm::UnderlineButtonClick()
{
    if (m_updating)
        return;
    QTextCharFormat change;
    change.setFontUnderline(UnderlineButton->isChecked());
    changeCharacters(change);
}

void TEditorForm::FontSizeChange()
{
    if (m_updating)
        return;
    bool ok = false;
    const int size = FontSize->text().trimmed().toInt(&ok);
    if (!ok) {
        platform::services().dialogs->errorBox(texts::kNotANumber.arg(FontSize->text()));
        return;
    }
    if (size <= 0)
        return; // a size of nothing has no font
    QTextCharFormat change;
    change.setFontPointSize(size);
    changeCharacters(change);
}

void TEditorForm::FontNameChange(int index)
{
    if (m_updating || index < 0)
        return;
    QTextCharFormat change;
    change.setFontFamilies({FontName->itemText(index)});
    changeCharacters(change);
}

void TEditorForm::SelectFont()
{
    const QFont current = Editor->currentCharFormat().font().resolve(Editor->document()->defaultFont());
    if (const auto chosen = platform::services().dialogs->chooseFont(current)) {
        QTextCharFormat change;
        change.setFont(*chosen);
        changeCharacters(change);
    }
    Editor->setFocus();
}

void TEditorForm::AlignButtonClick(int value)
{
    if (m_updating)
        return;
    setAlignment(Editor->textCursor(), static_cast<Alignment>(value));
}

void TEditorForm::BulletsButtonClick()
{
    if (m_updating)
        return;
    setBullets(Editor->textCursor(), BulletsButton->isChecked());
}

void TEditorForm::markerDropped(Ruler::Marker marker)
{
    switch (marker) {
    case Ruler::Marker::First:
        FirstIndMouseUp();
        break;
    case Ruler::Marker::Left:
        LeftIndMouseUp();
        break;
    case Ruler::Marker::Right:
        RightIndMouseUp();
        break;
    }
}

void TEditorForm::FirstIndMouseUp()
{
    const int first = ruler::firstIndentAt(Ruler->markerLeft(Ruler::Marker::First), Ruler->dragOffset());
    setFirstIndent(Editor->textCursor(), first);
    // The following lines keep their place while the first line moves.
    LeftIndMouseUp();
}

void TEditorForm::LeftIndMouseUp()
{
    const int first = paragraphAttributes(Editor->textCursor()).firstIndent;
    const int left = ruler::leftIndentAt(Ruler->markerLeft(Ruler::Marker::Left), Ruler->dragOffset(), first);
    setLeftIndent(Editor->textCursor(), left);
    SelectionChange();
}

void TEditorForm::RightIndMouseUp()
{
    const int right = ruler::rightIndentAt(Ruler->contentsRect().width(),
                                           Ruler->markerLeft(Ruler::Marker::Right), Ruler->dragOffset());
    setRightIndent(Editor->textCursor(), right);
    SelectionChange();
}

} // namespace editor
