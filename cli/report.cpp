// trelmox-cli report: the calculation report of each block as a PDF file.
// Writing a PDF needs Qt's fonts and painter, and trelmox-cli links no Qt:
// the command runs trelmox-report, installed beside trelmox-cli, which runs
// this same batch with the PDF writer (programs/trelmox-report.cpp). One bad
// block never stops the batch.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <ostream>

#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sets.h"
#include "cli/cli.h"
#include "cli/help_table.h"
#include "cli/loads.h"
#include "cli/options.h"
#include "commands/report_commands.h"
#include "document/report_inputs.h"
#include "model/block_names.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "model/output_guard.h"
#include "model/shown_text.h"
#include "model/wording.h"
#include "report/calculation_report.h"
#include "report/failure_text.h"

extern char** environ;

namespace trelmox::cli {

namespace {

const char* const HelperName = "trelmox-report";

// Writes one block's report; false when it has no results. As analyze's
// outputs, the PDF never replaces an input of the run nor another input's
// report, and the data file is read as strictly.
// The measurement file of --measurements, read once for the batch.
struct MeasuredJoints {
    std::string File; // by name, as the report shows it
    std::vector<Measurement> Planes;
    std::vector<JointSet> Sets;
};

bool reportBlock(const RunInput& input, const std::filesystem::path& folder, OutputGuard& guard,
                 const std::optional<MeasuredJoints>& joints, const PdfWriter& write, std::ostream& out,
                 std::ostream& err) {
    const std::string name = blockNameOf(input.file);
    checkBlockName(name);
    const std::filesystem::path pdf = folder / calculationReportFileName(name);
    guard.check(pdf, input.number);
    const ParsedBlock block = readSavedBlock(input.file);
    CalculationReportInputs inputs =
        analysedReportInputs(name, block, dataFileCompanion(input.file).value_or(WedgeLoads{}), todayText());
    if (joints) {
        // The defaults of the joints window and of trelmox-cli kinematics.
        const TPlaneAttitude& face = block.Attitudes[int(TPlaneRole::SlopeFace)];
        inputs.Joints = JointKinematicsInputs{
            joints->File, joints->Planes, joints->Sets,
            kinematicAnalysis(joints->Planes, joints->Sets, {{face.DipAngle, face.DipDirection, 30, 20}}).front()};
    }
    writeOutputs({pdf}, input, guard,
                 [&] { commands::writeCalculationReport(inputs, folder, write, commands::silentFeedback()); });
    out << name << '\t' << shownPath(pdf) << '\n';
    if (inputs.Results) return true;
    err << "trelmox-cli report: " << shownPath(input.file) << ": "
        << inLanguage("计算书中没有计算结果", "the calculation report has no results") << '\n';
    return false;
}

// Copies what the helper writes on its two pipes to the command's streams
// until both are closed.
void relay(int outPipe, int errPipe, std::ostream& out, std::ostream& err) {
    std::array<pollfd, 2> fds{pollfd{outPipe, POLLIN, 0}, pollfd{errPipe, POLLIN, 0}};
    std::array<std::ostream*, 2> streams{&out, &err};
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                streams[i]->write(buffer, n);
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

// The name and description of a signal: "SIGTERM（Terminated）".
std::string signalText(int signal) {
    const char* name = sigabbrev_np(signal);
    if (messageLanguage() == Language::English)
        return (name ? "SIG" + std::string(name) : "signal " + std::to_string(signal)) + " (" + strsignal(signal) + ")";
    return (name ? "SIG" + std::string(name) : "信号 " + std::to_string(signal)) + "（" + strsignal(signal) + "）";
}

// Starts the helper with its output on the pipes. The helper must not
// outlive the command: a batch stopped by SIGTERM or a closed terminal
// would otherwise go on writing reports nobody waits for. So the child asks
// to be sent SIGTERM when its parent ends (PR_SET_PDEATHSIG, kept across
// exec), and ends at once if the parent is gone already; its atomic writes
// leave no half-written file behind. Returns the child, or -1 with errno.
pid_t startHelper(const std::vector<char*>& argv, int outPipe, int errPipe) {
    // Tells the parent why exec failed; closed by a successful exec.
    int failure[2];
    if (pipe2(failure, O_CLOEXEC) != 0) return -1;
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls between fork and exec.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) _exit(127);
        if (dup2(outPipe, STDOUT_FILENO) < 0 || dup2(errPipe, STDERR_FILENO) < 0) _exit(127);
        execve(argv[0], argv.data(), environ);
        const int error = errno;
        static_cast<void>(write(failure[1], &error, sizeof error));
        _exit(127);
    }
    const int forkError = errno;
    close(failure[1]);
    if (child < 0) {
        close(failure[0]);
        errno = forkError;
        return -1;
    }
    int error = 0;
    ssize_t n;
    while ((n = read(failure[0], &error, sizeof error)) < 0 && errno == EINTR) {}
    close(failure[0]);
    if (n == static_cast<ssize_t>(sizeof error)) {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
        errno = error;
        return -1;
    }
    return child;
}

// The helper's exit status, its output relayed; -1 when it cannot be run.
int runHelper(const std::filesystem::path& helper, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
    std::vector<std::string> words{helper.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) return -1;
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return -1;
    }
    const pid_t child = startHelper(argv, outPipe[1], errPipe[1]);
    const int startError = errno;
    close(outPipe[1]);
    close(errPipe[1]);
    if (child < 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        errno = startError;
        return -1;
    }
    relay(outPipe[0], errPipe[0], out, err);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    // Killed (the memory manager, a person): said, never a silent failure.
    if (WIFSIGNALED(status))
        err << "trelmox-cli report: " << HelperName
            << (messageLanguage() == Language::English ? " was ended by " : " 被信号 ") << signalText(WTERMSIG(status))
            << inLanguage(" 终止，其余计算书没有写出", "; the remaining calculation reports were not written") << '\n';
    return ExitBlockFailed;
}

} // namespace

int runReportBatch(const std::vector<std::string>& given, std::ostream& out, std::ostream& err,
                   const PdfWriter& write) {
    ParsedArgs parsed;
    std::optional<std::string> folder;
    try {
        const std::vector<std::string> args = takeLanguage(given);
        parsed = parseCommand("report", args);
        folder = parsed.folder("pdf-dir");
        if (!parsed.help && !folder) throw UsageError("--pdf-dir is required");
        if (!parsed.help && parsed.positional.empty()) throw UsageError("no block data file given");
    } catch (const UsageError& usage) {
        err << "trelmox-cli report: " << usage.what() << "\n\n" << commandUsage("report");
        return ExitUsage;
    }
    if (parsed.help) {
        out << commandUsage("report");
        return ExitOk;
    }
    // A folder that cannot be made (a read-only file system, a file in the
    // way) stops the run with the reason it could not, not with each
    // block's "no such file or folder" when it writes.
    std::error_code made;
    std::filesystem::create_directories(*folder, made);
    if (made) {
        const std::string shown = shownPath(*folder);
        err << "trelmox-cli report: "
            << shownText(say("无法建立文件夹“" + shown + "”：", "cannot make the folder \"" + shown + "\": ") +
                         systemReason(made.value()))
            << '\n';
        return ExitBlockFailed;
    }
    // No report replaces the measurement file either.
    std::vector<std::string> inputs = parsed.positional;
    std::optional<MeasuredJoints> joints;
    if (const auto file = parsed.last("measurements")) {
        inputs.push_back(*file);
        try {
            MeasurementFile measured = readMeasurementFile(*file);
            std::vector<JointSet> sets =
                measured.Summary.Sets.empty() ? std::vector<JointSet>{} : labelledSets(measured.Planes);
            joints = MeasuredJoints{std::filesystem::path(*file).filename().string(), std::move(measured.Planes),
                                    std::move(sets)};
        } catch (const Error& failure) {
            err << "trelmox-cli report: " << fileFailureText(*file, failure) << '\n';
            return ExitBlockFailed;
        }
    }
    OutputGuard guard(inputs);
    bool allReported = true;
    for (std::size_t i = 0; i < parsed.positional.size(); ++i) {
        const RunInput input{i, parsed.positional[i]};
        try {
            allReported = reportBlock(input, *folder, guard, joints, write, out, err) && allReported;
        } catch (const Error& failure) {
            err << "trelmox-cli report: " << fileFailureText(input.file, failure) << '\n';
            allReported = false;
        }
    }
    return allReported ? ExitOk : ExitBlockFailed;
}

int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::error_code unknown;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", unknown);
    const std::filesystem::path helper = self.parent_path() / HelperName;
    out.flush();
    err.flush();
    // The helper words its messages and the reports in the language of this run.
    std::vector<std::string> helperArgs{"--lang", languageName()};
    helperArgs.insert(helperArgs.end(), args.begin(), args.end());
    const int status = unknown ? -1 : runHelper(helper, helperArgs, out, err);
    if (status >= 0) return status;
    const std::string reason = systemReason(errno);
    err << "trelmox-cli report: "
        << say("无法运行 " + helper.string() + "（" + reason + "）；PDF 文件由它写出，应安装在 trelmox-cli 旁边",
               "cannot run " + helper.string() + " (" + reason +
                   "); it writes the PDF files and is installed beside trelmox-cli")
        << '\n';
    return ExitBlockFailed;
}

} // namespace trelmox::cli
