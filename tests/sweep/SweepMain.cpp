// tessaline-sweep: copies picked at random with a seed among every drawing of the test data,
// each checked against what every copy must keep true. A line per violation, then a summary;
// exit status 1 when anything was violated.
#include <CLI/CLI.hpp>
#include <iostream>

#include "sweep/Sweep.h"

int main(int argc, char** argv) {
    tess::sweep::SweepOptions options;
    CLI::App command{"Copies at random between the objects of the test drawings and checks each"};
    command.add_option("--seed", options.seed, "The seed the copies are picked with");
    command.add_option("--count", options.count, "How many copies");
    command.add_option("--drawing", options.drawing,
                       "Only drawings whose file name holds this text");
    command.add_option("--only", options.only, "Only these copies of the seed (0 is the first)");
    command.add_option("--other-reader-every", options.otherReaderEvery,
                       "Read every n-th written file with libvisio's reader (0: none)");
    command.add_flag("--trace", options.trace, "Print each copy before it runs");
    CLI11_PARSE(command, argc, argv);
    return tess::sweep::RunSweep(options, std::cout) == 0 ? 0 : 1;
}
