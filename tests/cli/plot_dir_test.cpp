#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"

namespace fs = std::filesystem;

namespace {

const fs::path Example = fs::path(TRELMOX_TEST_DATA) / ".." / ".." / "examples" / "example.txt";

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int analyze(const std::vector<std::string>& args, std::string& err) {
    std::vector<std::string> all{"analyze"};
    all.insert(all.end(), args.begin(), args.end());
    std::ostringstream out, errors;
    const int status = trelmox::cli::run(all, out, errors);
    err = errors.str();
    return status;
}

TEST(AnalyzePlotDir, WritesTheStereonetAndTheWedgeOfEachBlock) {
    const fs::path dir = fs::temp_directory_path() / "trelmox-cli-plots";
    fs::remove_all(dir);
    fs::create_directories(dir / "in");
    fs::copy_file(Example, dir / "in" / "W1.txt");
    std::string err;
    ASSERT_EQ(analyze({"--plot-dir", dir.string(), (dir / "in" / "W1.txt").string()}, err), 0) << err;
    const std::string net = contents(dir / "W1stereonet.svg"), wedge = contents(dir / "W1wedge.svg");
    EXPECT_NE(net.find("157.7°∠31.2°"), std::string::npos); // the line of intersection, as analysed
    EXPECT_NE(net.find("摩擦圆 φ=20°"), std::string::npos);
    EXPECT_NE(wedge.find(">4</text>"), std::string::npos);
    for (const std::string* picture : {&net, &wedge}) EXPECT_NE(picture->find(">楔块 W1</text>"), std::string::npos);
    EXPECT_TRUE(wedge.ends_with("</svg>\n"));

    // A folder that is not there fails the block, not the batch.
    EXPECT_EQ(analyze({"--plot-dir", (dir / "missing").string(), (dir / "in" / "W1.txt").string()}, err), 1);
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::remove_all(dir);
}

} // namespace
