#include <exception>
#include <functional>
#include <map>
#include <new>
#include <ostream>

#include "cli/cli.h"
#include "cli/options.h"
#include "cli/output.h"
#include "model/error.h"
#include "model/language.h"
#include "trelmox/version.h"

namespace trelmox::cli {

namespace {

const char* const Usage =
    "usage: trelmox-cli [--lang en|zh] <command> [options]\n"
    "\n"
    "  --lang en|zh  the language of messages and readable output: English or\n"
    "                the Chinese of the program's windows; without it, the\n"
    "                locale's (LC_ALL, LC_MESSAGES, LANG: Chinese for zh_*);\n"
    "                the files written and the JSON's keys stay as they are\n"
    "\n"
    "commands:\n"
    "  analyze [--format text|json|csv|xlsx] [--output FILE] [--report-dir DIR] [--dxf-dir DIR] [--plot-dir DIR]\n"
    "      FILE...\n"
    "      Analyses block data files: corners, volume, height, plunge of the\n"
    "      line of intersection and the safety factor Kc with its contact case;\n"
    "      beside it the full factor Fs of the real wedge with the block's loads\n"
    "      (its companion file <name>.json), the stability state, weight, face\n"
    "      areas and the bolt force the required factor needs; reports, drawings\n"
    "      and pictures (stereonet, 3D view) on request.\n"
    "  probabilistic FILE [--samples N] [--seed S] [--method mc|lhs] [--sd NAME=SD ...]\n"
    "      [--uniform NAME=LO:HI ...] [--lognormal NAME=SD ...] [--exponential NAME ...]\n"
    "      [--triangular NAME=LO:HI ...] [--beta NAME=SD:LO:HI ...] [--gamma NAME=SD ...]\n"
    "      [--truncate NAME=LO:HI ...] [--correlation PLANE=RHO ...] [--required F] [--fisher PLANE=K ...]\n"
    "      [--threads N] [--format text|json|xlsx] [--output FILE]\n"
    "      Monte Carlo or Latin hypercube analysis of Kc and Fs: statistics, P(Kc < 1),\n"
    "      P(Fs < 1) and P(Fs < required).\n"
    "  reliability FILE [the inputs' options as probabilistic's] [--factor fs|kc] [--target-beta B]\n"
    "      [--design-bolt TREND/PLUNGE] [--is-cov C] [--max-samples N] [--seed S] [--threads N]\n"
    "      [--format text|json|xlsx] [--output FILE]\n"
    "      The reliability index beta, the design point and P(failure) by FORM, SORM\n"
    "      and importance sampling, the failure modes and the system's P(failure).\n"
    "  sensitivity FILE --param NAME --from A --to B --steps N [--required F] [--format text|csv|json]\n"
    "      Kc and Fs with their contact cases as one input runs over a range.\n"
    "  combinations SLOPE_BLOCK MEASUREMENTS [--sets planes|labels|auto:N] [--format text|json|csv|xlsx]\n"
    "      [--output FILE]\n"
    "      Every pair of measured planes or joint sets as the cutting planes of the\n"
    "      block's slope: kinematic check, Kc and Fs, the critical wedge first.\n"
    "  planar --height H --face-dip DEG --plane-dip DEG --unit-weight G --cohesion C --friction F\n"
    "      [--top-dip DEG] [--crack-distance D] [--water-unit-weight GW] [--water-fill FRACTION] [--k K]\n"
    "      [--bolt-force T --bolt-plunge DEG [--bolt-mode active|passive]] [--format text|json]\n"
    "      The factor of a block sliding on one plane, per metre of slope.\n"
    "  kinematics SECTORS MEASUREMENTS [--friction PHI] [--lateral DEG] [--format text|json|csv]\n"
    "      Planar, wedge, flexural and direct toppling checks of the measured planes\n"
    "      against every sector of a slope: the share critical and the critical set.\n"
    "  cloud POINTS [--voxel M] [--neighbours K] [--min-facet-area A] [--sets N|auto:N]\n"
    "      [--format text|json|csv|xlsx] [--measurements-out FILE.csv] [--facets-out FILE.ply]\n"
    "      The planar facets and joint sets of a point cloud of the rock face (PLY,\n"
    "      LAS, XYZ), the slope face told apart, and a measurement file of them.\n"
    "  report --pdf-dir DIR FILE...\n"
    "      The calculation report of each block as a PDF file.\n"
    "\n"
    "Run 'trelmox-cli <command> --help' for a command's options, 'trelmox-cli --version'\n"
    "for the version.\n";

using Command = std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)>;

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"analyze", runAnalyze},
        {"probabilistic", runProbabilisticCommand},
        {"sensitivity", runSensitivityCommand},
        {"reliability", runReliabilityCommand},
        {"combinations", runCombinationsCommand},
        {"planar", runPlanarCommand},
        {"kinematics", runKinematicsCommand},
        {"cloud", runCloudCommand},
        {"report", runReportCommand},
    };
    return table;
}

} // namespace

int run(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    try {
        args = takeLanguage(given);
    } catch (const UsageError& usage) {
        err << "trelmox-cli: " << usage.what() << "\n\n" << Usage;
        return ExitUsage;
    }
    if (args.empty()) {
        err << Usage;
        return ExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << Usage;
        return ExitOk;
    }
    if (args[0] == "--version") {
        out << "trelmox-cli " << Version << '\n';
        return ExitOk;
    }
    const auto command = commands().find(args[0]);
    if (command == commands().end()) {
        err << "trelmox-cli: unknown command '" << args[0] << "'\n\n" << Usage;
        return ExitUsage;
    }
    // Each command words its own failures; one that escapes it still ends
    // as a message with the status of a failed run, never as an abort.
    const std::string prefix = "trelmox-cli " + args[0] + ": ";
    try {
        return command->second(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    } catch (const Error& failure) {
        err << prefix << shownMessage(toolMessage(failure)) << '\n';
    } catch (const UsageError& usage) {
        err << prefix << usage.what() << '\n';
        return ExitUsage;
    } catch (const std::bad_alloc&) {
        err << prefix << inLanguage("内存不足，计算未完成", "out of memory; the run was not finished") << '\n';
    } catch (const std::exception& failure) {
        err << prefix << shownText(failure.what()) << '\n';
    }
    return ExitBlockFailed;
}

} // namespace trelmox::cli
