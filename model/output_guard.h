#pragma once
// The files one run of the tool reads and writes, known by identity (device and
// inode) rather than by name, so that no spelling of a path, link or
// shared folder lets an output replace an input of the run, nor an output
// that another input of the run wrote. Reports and data files are both
// "<block>.txt", and inputs a/W.txt and b/W.txt both give block W.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace trelmox {

// Safe to use from several threads at once.
class OutputGuard {
public:
    explicit OutputGuard(const std::vector<std::string>& inputs);
    // Throws Error naming both files when writing `output` for input number
    // `input` would replace an input of the run, or an output that another
    // input wrote.
    void check(const std::filesystem::path& output, std::size_t input) const;
    // Records that `output` now holds input number `input`'s result.
    void written(const std::filesystem::path& output, std::size_t input);
    // No two inputs of the run write files of the same name in one folder,
    // so no output can be another input's: written outputs need not be
    // recorded (the record costs a stat of each).
    void namesAreUnique() { recordOutputs_ = false; }

private:
    struct Identity {
        dev_t device;
        ino_t inode;
        auto operator<=>(const Identity&) const = default;
    };
    static std::optional<Identity> identityOf(const std::filesystem::path& path);

    // Whether `path` is, at this moment, the file of that identity. The
    // guard holds no file open, and an inode freed when another process
    // replaces a file is soon given to a new one: an identity is only
    // trusted while the file it was taken from still has it.
    static bool stillHas(const std::filesystem::path& path, const Identity& identity);

    std::vector<std::string> inputs_;
    std::map<Identity, std::size_t> inputFiles_;
    // Blocks of a batch are written from several threads.
    mutable std::mutex outputsMutex_;
    struct Written {
        std::size_t input;
        std::filesystem::path file;
    };
    std::map<Identity, Written> outputFiles_;
    // The same outputs by path, for a file another process replaced since.
    std::map<std::filesystem::path, std::size_t> outputPaths_;
    bool recordOutputs_ = true;
};

// One input of the run: its number (for the guard) and its path.
struct RunInput {
    std::size_t number;
    std::filesystem::path file;
};

// Runs `write`, which writes `outputs` for `input`, and records them with
// the guard. A failure names the files it could not write, since the
// prefix of the block's message names only the data file.
void writeOutputs(const std::vector<std::filesystem::path>& outputs, const RunInput& input, OutputGuard& guard,
                  const std::function<void()>& write);

} // namespace trelmox
