// The margins of every printed page of the program.
#pragma once

class QPrinter;

namespace quilor::ui {

// The paper's margins: nothing is printed nearer its edges.
constexpr double kPrintMarginMillimetres = 15.0;

// Sets margins of 15 mm at least (the printer's own when it asks for more)
// and makes the pages draw inside them. Called before the painter begins.
void ApplyPrintMargins(QPrinter& printer);

}  // namespace quilor::ui
