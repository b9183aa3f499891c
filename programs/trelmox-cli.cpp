#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/cli.h"

namespace {

// OpenMP's idle threads spin on their cores for a while before they sleep,
// which on a machine busy with other programs takes the cores from the
// thread still working: a run on two threads then took twice its time on
// one. The runtime reads its wait policy once, when the program is loaded,
// so the tool starts itself again with passive (sleeping) threads, unless
// the user chose a policy (OMP_WAIT_POLICY, GOMP_SPINCOUNT). Should the new
// start fail, the run goes on as it is.
void startWithSleepingThreads(char** argv) {
    if (std::getenv("OMP_WAIT_POLICY") || std::getenv("GOMP_SPINCOUNT")) return;
    if (setenv("OMP_WAIT_POLICY", "PASSIVE", 1) != 0) return;
    execv("/proc/self/exe", argv);
}

} // namespace

int main(int argc, char** argv) {
    startWithSleepingThreads(argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return trelmox::cli::run(args, std::cout, std::cerr);
}
