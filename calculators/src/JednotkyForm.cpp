#include "calculators/JednotkyForm.h"

#include "FormSupport.h"
#include "JednotkyTexts.h"

#include "platform/Platform.h"
#include "widgets/ErrorReport.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace calculators {

namespace {

namespace texts = jednotkytexts;

constexpr int kHelpTopic = 9;
// The lists are numbered as their handlers are: the temperature page's
// lists are 15 and 16.
constexpr int kFirstListOfPage[] = {1, 3, 5, 7, 9, 11, 15, 13, 17, 19};

const QColor kResultBackground(192, 192, 192);
const QColor kResultText(255, 0, 0);

QPixmap redArrow()
{
    QPixmap pixmap(32, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 0, 0));
    QPainterPath arrow;
    arrow.moveTo(2, 9);
    arrow.lineTo(18, 9);
    arrow.lineTo(18, 3);
    arrow.lineTo(30, 12);
    arrow.lineTo(18, 21);
    arrow.lineTo(18, 15);
    arrow.lineTo(2, 15);
    arrow.closeSubpath();
    painter.drawPath(arrow);
    return pixmap;
}

QListWidget* unitList(const QString& name, const QStringList& items, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->addItems(items);
    list->setCurrentRow(-1);
    list->clearSelection();
    return list;
}

} // namespace

QString TJednotkyForm::listName(int page, bool toList)
{
    return QStringLiteral("ListBox%1").arg(kFirstListOfPage[page] + (toList ? 1 : 0));
}

TJednotkyForm::TJednotkyForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("JednotkyForm"));
    setWindowTitle(texts::kCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);

    auto* column = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    // Ten tabs: all stay reachable, by the arrows where the window is narrow.
    PageControl1->setUsesScrollButtons(true);
    PageControl1->tabBar()->setExpanding(false);
    for (int page = 0; page < static_cast<int>(unitPages().size()); ++page)
        PageControl1->addTab(createPage(page), unitPages()[static_cast<std::size_t>(page)].title);
    column->addWidget(PageControl1, 1);

    auto* fields = new QGridLayout;
    Label1 = new QLabel(texts::kZadani, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    EditZadani = new QLineEdit(texts::kInitialInput, this);
    EditZadani->setObjectName(QStringLiteral("EditZadani"));
    QFont bold = EditZadani->font();
    bold.setBold(true);
    EditZadani->setFont(bold);
    Label1->setBuddy(EditZadani);
    Label2 = new QLabel(texts::kVysledek, this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    EditVysledek = new QLineEdit(this);
    EditVysledek->setObjectName(QStringLiteral("EditVysledek"));
    EditVysledek->setReadOnly(true);
    EditVysledek->setFont(bold);
    QPalette resultColours = EditVysledek->palette();
    resultColours.setColor(QPalette::Base, kResultBackground);
    resultColours.setColor(QPalette::Text, kResultText);
    EditVysledek->setPalette(resultColours);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(Label2, 0, 1);
    fields->addWidget(EditZadani, 1, 0);
    fields->addWidget(EditVysledek, 1, 1);
    column->addLayout(fields);

    Blabel1 = new QLabel(this);
    Blabel1->setObjectName(QStringLiteral("Blabel1"));
    Blabel1->setAlignment(Qt::AlignCenter);
    Blabel1->setWordWrap(true);
    QPalette black = Blabel1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Blabel1->setPalette(black);
    Blabel1->hide();
    column->addWidget(Blabel1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtn1 = new QPushButton(texts::kZpet, this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(true);
    buttons->addWidget(BitBtn1);
    column->addLayout(buttons);

    connect(EditZadani, &QLineEdit::textChanged, this, [this] { widgets::guarded([this] { EditZadaniChange(); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int index) { widgets::guarded([&] { pageChanged(index); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    setTabOrder(EditZadani, PageControl1);
    EditZadani->setFocus();
    // Wide enough for all ten tabs in one row.
    resize(std::max(720, PageControl1->tabBar()->sizeHint().width() + 40), 420);
}

TJednotkyForm::~TJednotkyForm() = default;

QWidget* TJednotkyForm::createPage(int page)
{
    const UnitPage& units = unitPages()[static_cast<std::size_t>(page)];
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet%1").arg(page + 1));
    auto* row = new QHBoxLayout(sheet);

    auto* fromBox = new QGroupBox(texts::kZJednotky, sheet);
    auto* fromLayout = new QVBoxLayout(fromBox);
    QListWidget* from = unitList(listName(page, false), units.items, fromBox);
    fromLayout->addWidget(from);

    auto* arrow = new QLabel(sheet);
    arrow->setPixmap(redArrow());
    arrow->setAlignment(Qt::AlignCenter);

    auto* toBox = new QGroupBox(texts::kNaJednotku, sheet);
    auto* toLayout = new QVBoxLayout(toBox);
    QListWidget* to = unitList(listName(page, true), units.items, toBox);
    toLayout->addWidget(to);

    row->addWidget(fromBox, 1);
    row->addWidget(arrow);
    row->addWidget(toBox, 1);

    for (QListWidget* list : {from, to}) {
        // A release of any button anywhere over the list recomputes.
        list->viewport()->installEventFilter(this);
        if (page == kTemperaturePage) {
            const auto hide = [this, list] {
                widgets::guarded([&] { list == m_fromLists[kTemperaturePage] ? ListBox15Click() : ListBox16Click(); });
            };
            // A new selection hides the warning at the press; the release
            // recomputes and shows it again when the result calls for it.
            connect(list, &QListWidget::itemSelectionChanged, this, hide);
        }
    }
    m_fromLists.push_back(from);
    m_toLists.push_back(to);
    return sheet;
}

int TJednotkyForm::selectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void TJednotkyForm::Vypocet()
{
    const int from = selectedRow(m_fromLists[static_cast<std::size_t>(m_page)]);
    const int to = selectedRow(m_toLists[static_cast<std::size_t>(m_page)]);
    if (from < 0 || to < 0)
        return;
    const Real x = StrToReal(EditZadani->text());
    const Real result = convertUnits(m_page, from, to, x);
    Label1->setText(fromUnitLabel(m_page, from));
    Label2->setText(toUnitLabel(m_page, from, to));
    // A number beyond a double's range has no result: say so instead.
    if (!std::isfinite(x) || !std::isfinite(result)) {
        m_outOfRange = true;
        Blabel1->setText(texts::kOutOfRange);
        Blabel1->show();
        return;
    }
    m_outOfRange = false;
    m_lastResult = result;
    // The warning follows the result shown: a valid result clears it.
    const std::optional<QString> warning =
        m_page == kTemperaturePage ? absoluteZeroWarning(to, result) : std::nullopt;
    if (warning) {
        Blabel1->setText(*warning);
        Blabel1->show();
    } else {
        Blabel1->hide();
    }
}

void TJednotkyForm::recompute()
{
    Vypocet();
    EditVysledek->setText(m_outOfRange ? QString() : RealToStr(m_lastResult));
}

void TJednotkyForm::EditZadaniChange()
{
    recompute();
}

void TJednotkyForm::PageControl1Changing()
{
    // Runs the ordinary recomputation when the text changes, still for the page being left.
    EditZadani->setText(texts::kInitialInput);
    m_outOfRange = false;
    EditVysledek->clear();
    Label1->setText(texts::kZadani);
    Label2->setText(texts::kVysledek);
    EditZadani->setFocus();
    Blabel1->hide();
}

void TJednotkyForm::pageChanged(int index)
{
    if (index == m_page)
        return;
    PageControl1Changing();
    m_page = index;
}

void TJednotkyForm::ListBox15Click()
{
    Blabel1->hide();
}

void TJednotkyForm::ListBox16Click()
{
    Blabel1->hide();
}

void TJednotkyForm::BitBtn1Click()
{
    close();
}

bool TJednotkyForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (std::size_t page = 0; page < m_fromLists.size(); ++page) {
            if (watched == m_fromLists[page]->viewport() || watched == m_toLists[page]->viewport()) {
                widgets::guarded([this] { recompute(); });
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace calculators
