// Fuzz harness of the tool's commands as a user calls them: the fuzzed
// bytes pick a command, a format and, for each of its options that reads a
// number, a value - a limit of a double (the largest, the smallest
// subnormal, their negatives, zeros), "inf" or "nan", or a raw double of
// the bytes written out - on the shipped example files. Every run ends
// with an exit status of the tool's own (an escaped exception or an abort
// is a finding), says something when it fails, and prints no figure that
// is not finite. Nothing is written to disk: no option that names a file
// or folder to write is given.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "model/error.h"
#include "tests/fuzz/fuzz_bytes.h"

namespace {

using trelmox::fuzz::Bytes;
using trelmox::fuzz::require;

const char* const Limits[] = {"1e308",
                              "-1e308",
                              "1.7976931348623157e308",
                              "-1.7976931348623157e308",
                              "5e-324",
                              "-5e-324",
                              "2.2250738585072014e-308",
                              "0",
                              "-0",
                              "inf",
                              "nan",
                              "1e-300"};

// A value for a number option: mostly an ordinary one, else a limit or
// whatever double the bytes make.
std::string number(Bytes& in, const std::string& ordinary) {
    const std::uint8_t how = in.byte();
    if (how < 96) return ordinary;
    if (how < 192) return Limits[in.byte() % std::size(Limits)];
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", in.number());
    return text;
}

struct Option {
    const char* name;
    const char* ordinary; // a value that fits; "NAME=" options get theirs after
};

const std::filesystem::path Data = TRELMOX_TEST_DATA;

std::vector<std::string> command(Bytes& in) {
    const std::string block = (Data / "example_block.txt").string();
    const std::string measurements = (Data / "joint_measurements.csv").string();
    const std::string sectors = (Data / "pit_sectors.csv").string();
    std::vector<std::string> args = {"--lang", in.byte() & 1 ? "zh" : "en"};
    const auto options = [&](std::initializer_list<Option> list) {
        for (const Option& o : list) {
            if (in.byte() & 1) continue; // left out
            // The number after the last "=" or ":" of NAME=A:B is the one fuzzed.
            const std::string ordinary = o.ordinary;
            const auto last = ordinary.find_last_of("=:");
            const std::string prefix = last == std::string::npos ? "" : ordinary.substr(0, last + 1);
            args.insert(args.end(), {std::string("--") + o.name, prefix + number(in, ordinary.substr(prefix.size()))});
        }
    };
    switch (in.byte() % 7) {
    case 0:
        args.insert(args.end(), {"planar", "--format", in.byte() & 1 ? "json" : "text"});
        // The required options are always given, so that the run gets past them.
        for (const Option& o : {Option{"height", "30"},
                                {"face-dip", "60"},
                                {"plane-dip", "30"},
                                {"unit-weight", "26"},
                                {"cohesion", "25"},
                                {"friction", "0.7536"}})
            args.insert(args.end(), {std::string("--") + o.name, number(in, o.ordinary)});
        options({{"top-dip", "5"},
                 {"crack-distance", "4"},
                 {"water-unit-weight", "10"},
                 {"water-fill", "0.5"},
                 {"k", "0.1"}});
        if (in.byte() & 1)
            args.insert(args.end(), {"--bolt-force", number(in, "100"), "--bolt-plunge", number(in, "10")});
        break;
    case 1:
        args.insert(args.end(), {"probabilistic", block, "--quiet", "--samples", in.byte() & 1 ? "1" : "64",
                                 "--threads", "1", "--format", in.byte() & 1 ? "json" : "text"});
        options({{"sd", "c1=5"},
                 {"uniform", "f1=0.3:0.5"},
                 {"lognormal", "gamma=1"},
                 {"triangular", "c2=40:60"},
                 {"gamma", "height=2"},
                 {"correlation", "1=-0.5"},
                 {"fisher", "1=40"},
                 {"required", "1.3"}});
        break;
    case 2:
        args.insert(args.end(), {"sensitivity", block, "--param", in.byte() & 1 ? "c1" : "k", "--steps",
                                 in.byte() & 1 ? "1" : "5", "--format", in.byte() & 1 ? "json" : "csv"});
        args.insert(args.end(), {"--from", number(in, "0"), "--to", number(in, "50")});
        options({{"required", "1.3"}});
        break;
    case 3:
        args.insert(args.end(), {"kinematics", sectors, measurements, "--format", in.byte() & 1 ? "json" : "text"});
        options({{"friction", "30"}, {"lateral", "20"}});
        break;
    case 4:
        args.insert(args.end(), {"combinations", block, measurements, "--format", in.byte() & 1 ? "json" : "csv"});
        // A probabilistic run for every pair, now and then: 136 pairs here.
        if (in.byte() % 8 == 0) args.insert(args.end(), {"--probabilistic", "--samples", "4"});
        options({{"seed", "1"}});
        break;
    case 5: args.insert(args.end(), {"analyze", "--format", in.byte() & 1 ? "json" : "text", block}); break;
    default:
        args.insert(args.end(), {"sensitivity", block, "--param", "f2", "--steps", "2"});
        args.insert(args.end(), {"--from", number(in, "0.2"), "--to", number(in, "0.9")});
        break;
    }
    return args;
}

bool hasNonFinite(const std::string& text) {
    static const std::regex word("(^|[^a-z])(inf|infinity|nan)([^a-z]|$)", std::regex::icase);
    return std::regex_search(text, word);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::vector<std::string> args = command(in);
    std::ostringstream out, err;
    int status = -1;
    try {
        status = trelmox::cli::run(args, out, err);
    } catch (...) {
        std::abort(); // every failure reaches the user as a message
    }
    require(status == trelmox::cli::ExitOk || status == trelmox::cli::ExitBlockFailed ||
            status == trelmox::cli::ExitUsage);
    if (status != trelmox::cli::ExitOk) require(!out.str().empty() || !err.str().empty());
    // A value that is not a number may be quoted in its refusal, never in a result.
    require(!hasNonFinite(out.str()));
    return 0;
}
