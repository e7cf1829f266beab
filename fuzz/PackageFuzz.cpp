// libFuzzer target for what the program reads and writes (see PackageRound.h). A refusal with
// the program's own error is the answer to bad input; crashes, sanitizer reports, leaks, hangs,
// any other exception, and a package the program wrote that does not read back are findings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/PackageRound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // For looking into a corpus: TESSALINE_FUZZ_SHOW=1 prints what each input copies, or why
    // it was refused.
    static const bool show = std::getenv("TESSALINE_FUZZ_SHOW") != nullptr;
    const tess::fuzz::RoundResult result =
        tess::fuzz::PackageRound(std::string(reinterpret_cast<const char*>(data), size), show);
    if (result.readBackFailure) {
        std::fprintf(stderr, "what was written does not read back: %s\n",
                     result.readBackFailure->c_str());
        __builtin_trap();
    }
    return 0;
}
