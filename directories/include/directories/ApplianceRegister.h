#pragma once

// What the appliance register does without a screen: the repair line it
// appends to an appliance's record of repairs, and its printed list.

#include "reports/LabelledLines.h"

#include <QFont>
#include <QString>

#include <vector>

namespace store {
class Cursor;
}
namespace reports {
class TextPrinter;
}

namespace directories {

// "od - do   záruční": the repair's dates (empty when not set) and whether it
// fell under warranty, as the repair group holds them.
QString repairLine(const QString& from, const QString& to, const QString& warranty);

// The record of repairs with the line added as its new last line.
QString withRepairLine(const QString& repairs, const QString& line);

// The eleven lines printed for each appliance, each label exactly 15 characters.
const std::vector<reports::LabelledField>& applianceLines();

// The whole register in key order, eleven lines and an empty one per
// appliance; the record of repairs keeps its own line breaks. The table
// returns to its appliance also when printing fails.
void printAppliances(store::Cursor& table, reports::TextPrinter& out, const QFont& font);

} // namespace directories
