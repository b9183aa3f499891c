#include "app/program.h"

namespace trelmox::app {

Program::Program(const std::filesystem::path& programFolder)
    : workspace(programFolder), Form1(workspace), Form2(workspace), Form3(workspace), Form4(workspace) {
    workspace.attach(&Form2, &Form3, &Form4);
}

} // namespace trelmox::app
