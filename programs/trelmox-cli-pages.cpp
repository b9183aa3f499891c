// Writes trelmox-cli's manual page and bash completion from the description
// of its commands, when the program is built (packaging/CMakeLists.txt):
//   trelmox-cli-pages MANUAL_PAGE COMPLETION
#include <fstream>
#include <iostream>

#include "cli/help_pages.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: trelmox-cli-pages MANUAL_PAGE COMPLETION\n";
        return 2;
    }
    std::ofstream page(argv[1], std::ios::binary), completion(argv[2], std::ios::binary);
    page << trelmox::cli::manualPage();
    completion << trelmox::cli::bashCompletion();
    page.close();
    completion.close();
    if (!page || !completion) {
        std::cerr << "trelmox-cli-pages: cannot write " << argv[1] << " or " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
