#pragma once

namespace probe {

// A maximized empty QMainWindow: what a window costs before it shows anything.
int runBareWindow(int argc, char** argv);
// A lone QLineEdit with the focus: what echoing a typed key costs.
int runBareLineEdit(int argc, char** argv);

} // namespace probe
