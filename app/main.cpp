// quilor: the program. Starts the engine in the main window and runs the
// event loop; a file named on the command line is analysed at once.
#include "app/program_qt.h"

int main(int argc, char** argv) { return quilor::ui::RunProgram(argc, argv); }
