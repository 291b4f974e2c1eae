#include "PostalColumnsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace directories {

namespace {

const QString kCaption = QStringLiteral("Sloupce seznamu PSČ");
const QString kExplanation = QStringLiteral(
    "Záhlaví souboru nepojmenovává sloupce tak, jak je program zná. "
    "Vyberte, ve kterém sloupci je název místa a ve kterém PSČ.");
const QString kPlace = QStringLiteral("Místo:");
const QString kCode = QStringLiteral("PSČ:");
const QString kType = QStringLiteral("Typ (nepovinný):");
const QString kNoColumn = QStringLiteral("(žádný)");
const QString kSameColumn = QStringLiteral("Místo a PSČ musí být v různých sloupcích.");
const QString kLoad = QStringLiteral("Načíst");
const QString kCancel = QStringLiteral("Zrušit");

QComboBox* columnChoice(QWidget* parent, const char* name, const CsvDocument& document, bool optional, int chosen)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    if (optional)
        box->addItem(kNoColumn, -1);
    const QStringList first = document.rows.empty() ? QStringList() : document.rows.front().fields;
    for (qsizetype i = 0; i < document.header.size(); ++i) {
        QString text = QStringLiteral("%1. %2").arg(i + 1).arg(document.header[i]);
        if (i < first.size() && !first[i].trimmed().isEmpty())
            text += QStringLiteral(" (např. %1)").arg(first[i].trimmed());
        box->addItem(text, static_cast<int>(i));
    }
    const int index = box->findData(chosen);
    box->setCurrentIndex(index >= 0 ? index : 0);
    return box;
}

} // namespace

PostalColumnsDialog::PostalColumnsDialog(const CsvDocument& document, const PostalColumns& recognised,
                                         QWidget* parent)
    : QDialog(parent), m_recognised(recognised)
{
    setObjectName(QStringLiteral("PostalColumnsDialog"));
    setWindowTitle(kCaption);
    auto* column = new QVBoxLayout(this);
    auto* explanation = new QLabel(kExplanation, this);
    explanation->setWordWrap(true);
    column->addWidget(explanation);
    auto* form = new QFormLayout;
    m_place = columnChoice(this, "ComboBoxMisto", document, false, recognised.place >= 0 ? recognised.place : 0);
    m_code = columnChoice(this, "ComboBoxPsc", document, false,
                          recognised.code >= 0 ? recognised.code : (document.header.size() > 1 ? 1 : 0));
    m_type = columnChoice(this, "ComboBoxTyp", document, true, recognised.type);
    form->addRow(kPlace, m_place);
    form->addRow(kCode, m_code);
    form->addRow(kType, m_type);
    column->addLayout(form);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("LabelProblem"));
    QPalette red = m_problem->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_problem->setPalette(red);
    column->addWidget(m_problem);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(kLoad);
    m_buttons->button(QDialogButtonBox::Cancel)->setText(kCancel);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(m_buttons);
    for (QComboBox* box : {m_place, m_code, m_type})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { updateAcceptable(); });
    updateAcceptable();
}

PostalColumns PostalColumnsDialog::columns() const
{
    PostalColumns chosen = m_recognised;
    chosen.place = m_place->currentData().toInt();
    chosen.code = m_code->currentData().toInt();
    chosen.type = m_type->currentData().toInt();
    if (chosen.place == chosen.code)
        chosen.code = -1;
    // A context column the user took for a main one tells nothing apart.
    for (int* context : {&chosen.municipality, &chosen.district, &chosen.postOffice}) {
        if (*context == chosen.place || *context == chosen.code || *context == chosen.type)
            *context = -1;
    }
    return chosen;
}

void PostalColumnsDialog::updateAcceptable()
{
    const bool acceptable = columns().complete();
    m_problem->setText(acceptable ? QString() : kSameColumn);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(acceptable);
}

std::optional<PostalColumns> askForPostalColumns(const CsvDocument& document, const PostalColumns& recognised)
{
    PostalColumnsDialog dialog(document, recognised, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.columns();
}

} // namespace directories
