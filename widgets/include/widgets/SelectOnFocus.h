#pragma once

class QLineEdit;

namespace widgets {

// A field whose text is a hint ("text", "hledané jméno(část) ") or the last
// search: getting the focus selects it all, so typing replaces it.
void selectAllOnFocus(QLineEdit* edit);

} // namespace widgets
