#include "ui/DesktopProgram.h"

int main(int argc, char** argv) { return tess::ui::RunDesktop(argc, argv); }
