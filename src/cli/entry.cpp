#include "cli/cli.h"

int main(int argc, char** argv) { return kolm::cli::main(argc, argv); }
