// The name-day window's zodiac button and its two lists.

#include "organiser/SvatekForm.h"

#include "SvatekFormTexts.h"
#include "organiser/GlyphButton.h"
#include "organiser/Zodiac.h"

#include "store/Cursor.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"
#include "widgets/Pictures.h"

#include <QHeaderView>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

namespace organiser {

namespace {

constexpr int kListIconSize = 16;

QTreeWidget* fixedList(QWidget* parent, const char* name, const QStringList& columns)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setToolTip(svatek::kListHint);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setFocusPolicy(Qt::NoFocus);
    list->setIconSize(QSize(kListIconSize, kListIconSize));
    list->setFrameStyle(QFrame::Box | QFrame::Plain);
    list->header()->setSectionsClickable(false);
    list->setUniformRowHeights(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->hide();
    return list;
}

int listRowHeight(const QTreeWidget* list)
{
    return std::max(list->fontMetrics().height(), kListIconSize) + 6;
}

// The whole list at once, without scroll bars; every row as high as the size computed.
QSize listSize(QTreeWidget* list)
{
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        list->topLevelItem(row)->setSizeHint(0, QSize(0, listRowHeight(list)));
    int width = 2 * list->frameWidth() + 4;
    for (int column = 0; column < list->columnCount(); ++column) {
        list->resizeColumnToContents(column);
        list->setColumnWidth(column, list->columnWidth(column) + 16);
        width += list->columnWidth(column);
    }
    const int height = 2 * list->frameWidth() + list->header()->sizeHint().height() +
                       listRowHeight(list) * list->topLevelItemCount() + 2;
    return {width, height};
}

} // namespace

void TSvatekForm::createLists()
{
    ListViewZverokruh = fixedList(this, "ListViewZverokruh", {svatek::kColumnZnameni, svatek::kColumnObdobi});
    for (const ZodiacSign& sign : zodiacSigns()) {
        auto* item = new QTreeWidgetItem(ListViewZverokruh, {sign.listName, sign.period});
        // A missing picture leaves the row without its icon; the button reports it.
        try {
            item->setIcon(0, QIcon(widgets::loadPicture(sign.pictureFile)
                                       .scaled(kListIconSize, kListIconSize, Qt::KeepAspectRatio,
                                               Qt::SmoothTransformation)));
        } catch (const widgets::PictureError&) {
        }
    }
    ListViewSvatby = fixedList(this, "ListViewSvatby", {svatek::kColumnRoku, svatek::kColumnNazev});
    for (const WeddingAnniversary& row : weddingAnniversaries()) {
        auto* item = new QTreeWidgetItem(ListViewSvatby, {row.years, row.name});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (QTreeWidget* list : {ListViewZverokruh, ListViewSvatby}) {
        list->resize(listSize(list));
        for (QObject* part : {static_cast<QObject*>(list), static_cast<QObject*>(list->viewport()),
                              static_cast<QObject*>(list->header()),
                              static_cast<QObject*>(list->header()->viewport())})
            part->installEventFilter(this);
    }
}

void TSvatekForm::placeLists()
{
    if (!ListViewZverokruh)
        return;
    // Over the grid's top left, below the column titles.
    const QPoint origin = DBGridSvatek->geometry().topLeft() + QPoint(24, 24);
    ListViewZverokruh->move(origin);
    ListViewSvatby->move(origin);
}

void TSvatekForm::BitBtnZverokruhClick()
{
    ListViewSvatby->hide();
    placeLists();
    ListViewZverokruh->show();
    ListViewZverokruh->raise();
}

void TSvatekForm::SpeedButtonSvatbyClick()
{
    ListViewZverokruh->hide();
    placeLists();
    ListViewSvatby->show();
    ListViewSvatby->raise();
}

void TSvatekForm::updateSign()
{
    widgets::guarded([&] {
        if (!m_table->isActive() || m_table->rowCount() == 0)
            return;
        const long long day = m_table->integer(kFieldCislo);
        const ZodiacSign* sign = zodiacSignForDay(day >= 1 && day <= 366 ? static_cast<int>(day) : 0);
        // Outside 1..366 the button keeps what it shows; the same sign needs no new picture.
        if (sign && sign != m_shownSign)
            showSign(*sign);
    });
}

void TSvatekForm::showSign(const ZodiacSign& sign)
{
    m_shownSign = &sign;
    BitBtnZverokruh->setSpacing(sign.gap);
    BitBtnZverokruh->setText(sign.caption);
    try {
        BitBtnZverokruh->setGlyph(widgets::loadPicture(sign.pictureFile));
    } catch (const widgets::PictureError& error) {
        BitBtnZverokruh->setGlyph({});
        // Reported once the store has finished the move that changed the row,
        // so the message box's own event loop runs outside it.
        const std::string message = error.what();
        QTimer::singleShot(0, this, [message] { widgets::reportError(std::runtime_error(message)); });
    }
}

} // namespace organiser
