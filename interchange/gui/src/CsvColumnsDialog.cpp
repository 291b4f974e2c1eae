#include "interchange/CsvColumnsDialog.h"

#include "platform/Platform.h"

#include "ImportDialogTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace interchange {


CsvColumnsDialog::CsvColumnsDialog(const QStringList& header, const QStringList& sample,
                                   const std::vector<CsvRole>& guessed, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CsvColumnsDialog"));
    setWindowTitle(texts::kColumnsTitle);
    setProperty(platform::kHelpTopicProperty, 3);
    auto* layout = new QVBoxLayout(this);
    auto* explain = new QLabel(texts::kColumnsExplain, this);
    explain->setWordWrap(true);
    layout->addWidget(explain);
    auto* area = new QScrollArea(this);
    auto* inner = new QWidget(area);
    auto* form = new QFormLayout(inner);
    for (qsizetype c = 0; c < header.size(); ++c) {
        auto* combo = new QComboBox(inner);
        combo->setObjectName(QStringLiteral("ComboSloupec%1").arg(c + 1));
        for (int role = 0; role < kCsvRoleCount; ++role)
            combo->addItem(roleLabel(static_cast<CsvRole>(role)));
        combo->setCurrentIndex(c < static_cast<qsizetype>(guessed.size()) ? static_cast<int>(guessed[static_cast<std::size_t>(c)]) : 0);
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { update(); });
        const QString example = c < sample.size() ? sample[c].left(40) : QString();
        form->addRow(texts::kColumn.arg(header[c], example.isEmpty() ? texts::kEmptyExample
                                                                     : texts::kQuotedExample.arg(example)),
                     combo);
        m_combos.push_back(combo);
    }
    area->setWidget(inner);
    area->setWidgetResizable(true);
    layout->addWidget(area, 1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = box->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("ButtonOK"));
    box->button(QDialogButtonBox::Cancel)->setText(texts::kCancelButton);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    update();
    resize(560, 420);
}

std::vector<CsvRole> CsvColumnsDialog::roles() const
{
    std::vector<CsvRole> result;
    for (const QComboBox* combo : m_combos)
        result.push_back(static_cast<CsvRole>(combo->currentIndex()));
    return result;
}

void CsvColumnsDialog::update()
{
    // Without a name there is no key to store a record under.
    m_ok->setEnabled(rolesGiveName(roles()));
}

std::optional<std::vector<CsvRole>> chooseCsvColumns(const QStringList& header, const QStringList& sample,
                                                      const std::vector<CsvRole>& guessed, QWidget* parent)
{
    CsvColumnsDialog dialog(header, sample, guessed, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.roles();
}

} // namespace interchange
