#pragma once
// The options that give the random inputs of the probabilistic run and of
// the reliability analysis: their distributions (--sd, --uniform,
// --lognormal, --exponential, --triangular, --beta, --gamma, --truncate), the
// c-f correlations (--correlation) and the Fisher planes (--fisher), read
// into ProbabilisticSettings by one parser for every command.
#include <string>
#include <vector>

#include "analysis/probabilistic/probabilistic.h"
#include "cli/options.h"

namespace trelmox::cli {

// The options' names without "--".
inline const std::vector<std::string> InputOptionNames = {"sd",   "uniform", "lognormal", "exponential", "triangular",
                                                          "beta", "gamma",   "truncate",  "correlation", "fisher"};
// Their lines of a usage text, and the inputs' names (constants, so that
// the commands' usage texts may be put together from them at start-up).
inline constexpr const char* ParameterNamesHelp =
    "Parameter names (1 and 2 are the first and the second cutting plane):\n"
    "  dip1 dipdir1 dip2 dipdir2    dip angle and dip direction of the cutting planes\n"
    "  diptop dipdirtop             the slope top surface\n"
    "  dipface dipdirface           the slope face\n"
    "  c1 f1 c2 f2                  cohesion and friction coefficient of the cutting planes\n"
    "  rock water height            rock and water unit weight, slope height\n"
    "  u1 u2                        water pressures (blocks with entered pressures only;\n"
    "                               computed pressures follow water and height)\n"
    "  k                            seismic coefficient\n"
    "  crackdist crackwater         the tension crack's distance behind the crest and\n"
    "                               its water depth (blocks with a crack only)\n"
    "  crackdip crackdipdir         the tension crack's dip and dip direction\n"
    "  force bolt                   the total of the external forces / of the bolts,\n"
    "                               shared out in their given proportions\n"
    "  face_trace1 face_trace2      the size limits of the companion file (blocks\n"
    "  top_trace1 top_trace2        that give them only): trace lengths on the face\n"
    "  persistence1 persistence2    and on the upper slope, persistence, the slope's\n"
    "  slope_length                 length, the bench; each sample's wedge is scaled\n"
    "  bench_height bench_width     to the limits it draws\n"
    "Dips lie within 0..90; c, f, water, u, k, crackdist, crackwater, force and\n"
    "bolt >= 0; rock, height and the size limits > 0. Every distribution is\n"
    "truncated to that range; dip directions are not bounded. The loads and the\n"
    "size limits enter the full factor Fs only, not Kc.\n";

inline constexpr const char* InputOptionsHelp =
    "  --sd NAME=SD         normal, mean = the block's value, deviation SD\n"
    "  --uniform NAME=LO:HI uniform between LO and HI\n"
    "  --lognormal NAME=SD  lognormal, mean = the block's value (> 0), deviation SD\n"
    "  --exponential NAME   exponential, mean = the block's value (> 0)\n"
    "  --triangular NAME=LO:HI\n"
    "                       triangular between LO and HI, most likely the block's value\n"
    "  --beta NAME=SD:LO:HI beta between LO and HI, mean = the block's value,\n"
    "                       deviation SD (below sqrt((mean - LO)(HI - mean)))\n"
    "  --gamma NAME=SD      gamma, mean = the block's value (> 0), deviation SD\n"
    "  --truncate NAME=LO:HI\n"
    "                       NAME's distribution drawn only between LO and HI (either\n"
    "                       may be left out), the values between keeping their\n"
    "                       relative likelihood\n"
    "  --correlation PLANE=RHO\n"
    "                       correlation -1..1 of c and f of cutting plane 1 or 2,\n"
    "                       both varied (usually negative)\n"
    "  --fisher PLANE=K     cutting plane 1 or 2 drawn as a joint set: its pole from\n"
    "                       a Fisher distribution about the block's plane with\n"
    "                       concentration K >= 0 (in place of its dip and dip\n"
    "                       direction varied apart); crack=K the same for the\n"
    "                       tension crack about its own attitude\n";

// The distributions, correlations and Fisher planes given; a usage error
// for an option that does not parse (the settings' fit to a block is
// checked by validateSettings).
void readInputOptions(const ParsedArgs& parsed, ProbabilisticSettings& settings);

// An input by its name; a usage error names the known ones otherwise.
Parameter parameterNamed(const std::string& name);
// A number option's value; a usage error names `what` otherwise.
double numberArgument(const std::string& text, const std::string& what);

} // namespace trelmox::cli
