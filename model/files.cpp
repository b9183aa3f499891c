#include "model/files.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "model/error.h"
#include "model/textcodec.h"

namespace trelmox {

namespace {

Error fileError(int errorNumber) { return Error(fileErrorMessage(errorNumber)); }

// Closes the descriptor when the scope ends, unless it was closed already.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closing can report a delayed write failure, so it is checked.
    void close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw fileError(errno);
    }

private:
    int fd_;
};

void writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw fileError(errno);
        written += static_cast<std::size_t>(n);
    }
}

// A file the user protected against writing stays protected, as it would
// if it were opened for writing in place. One call answers both questions:
// a missing file (ENOENT) may be created, an existing one must be writable.
void checkReplaceable(const std::filesystem::path& path) {
    if (::access(path.c_str(), W_OK) != 0 && errno != ENOENT) throw fileError(errno);
}

// Asked once: a batch writes tens of thousands of files. A forked child
// would share the value, which costs nothing but a retry, because the
// temporary is created exclusively and a taken name is simply skipped.
const std::string& processIdText() {
    static const std::string text = std::to_string(::getpid());
    return text;
}

// A new, exclusively created file next to `path`; its name is returned in
// `tempPath`. The name is unique within the process and between processes.
int createTempBeside(const std::filesystem::path& path, std::filesystem::path& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        // Appended piece by piece: "." + string trips a false -Wrestrict in GCC 12 optimised builds.
        std::string name(".");
        name.append(path.filename().string()).append(".tmp").append(processIdText()).append("-");
        name.append(std::to_string(counter++));
        tempPath = path;
        tempPath.replace_filename(name);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) throw fileError(errno);
    }
}

} // namespace

std::string fileErrorMessage(int errorNumber) {
    switch (errorNumber) {
    case ENOENT: return "File not found";
    case EACCES:
    case EPERM:
    case EROFS: return "File access denied";
    case ENOSPC: return "Disk full";
    default: return "I/O error " + std::to_string(errorNumber);
    }
}

void writeFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
    checkReplaceable(path);
    std::filesystem::path tempPath;
    FileDescriptor file(createTempBeside(path, tempPath));
    try {
        writeAll(file.get(), bytes);
        file.close();
        if (::rename(tempPath.c_str(), path.c_str()) != 0) throw fileError(errno);
    } catch (...) {
        ::unlink(tempPath.c_str());
        throw;
    }
}

std::string readFileBytes(const std::filesystem::path& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw fileError(errno);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw fileError(errno);
        if (n == 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

void checkBlockName(const std::string& blockName) {
    if (blockName.find_first_of("/\\") != std::string::npos || blockName == "." || blockName == "..")
        throw Error("块体名称“" + blockName + "”无效：不能含有“/”或“\\”，也不能是“.”或“..”");
}

std::string crlfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

void writeTextFile(const std::filesystem::path& path, const std::string& utf8Text) {
    writeFileAtomically(path, utf8ToGb18030(utf8Text));
}

std::string readTextFile(const std::filesystem::path& path) {
    const std::string bytes = readFileBytes(path);
    try {
        return gb18030ToUtf8(bytes);
    } catch (const Error& error) {
        throw Error("文件“" + path.string() + "”无法读取：" + error.what());
    }
}

} // namespace trelmox
