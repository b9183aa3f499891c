#include "model/files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "model/error.h"
#include "model/language.h"
#include "model/textcodec.h"

namespace trelmox {

namespace {

Error fileError(int errorNumber) { return Error::fromSystem(fileErrorMessage(errorNumber), errorNumber); }

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
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
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

// The file being replaced, if there is one. A file the user protected
// against writing stays protected, as it would if it were opened for
// writing in place; a folder in its place is the error renaming onto it
// would give.
std::optional<struct stat> replacedFile(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw fileError(errno);
    }
    if (S_ISDIR(status.st_mode)) throw fileError(EISDIR);
    if (::access(path.c_str(), W_OK) != 0) throw fileError(errno);
    return status;
}

// The new file takes the old one's place in every respect the user set:
// owner and group first (changing them may clear set-id bits), then the
// mode. Owner and group are kept where the process may set them (the
// superuser, or a group the user belongs to); otherwise the new file is
// the process's, as any file it creates.
void keepOwnerAndMode(int fd, const struct stat& old) {
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
        static_cast<void>(::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, -1, old.st_gid) == 0);
    if (::fchmod(fd, old.st_mode & 07777) != 0) throw fileError(errno);
}

// Asked once: a batch writes tens of thousands of files. A forked child
// would share the value, which costs nothing but a retry, because a
// temporary name is taken exclusively and a taken name is simply skipped.
const std::string& processIdText() {
    static const std::string text = std::to_string(::getpid());
    return text;
}

// A short name, unique within the process and between processes, whatever
// the length of the final name: a block name near the file system's limit
// must not fail for its temporary.
std::filesystem::path temporaryName(const std::filesystem::path& folder) {
    static std::atomic<unsigned> counter{0};
    std::string name(".tm");
    name.append(processIdText()).append("-").append(std::to_string(counter++));
    return folder / name;
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

// Signals that end the process by default and that a person or a service
// manager sends to stop a batch.
constexpr int StopSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// Holds the stop signals back in this thread for a few system calls, so
// that a stop never falls between a temporary name coming into existence
// and its being recorded, or its removal and its being forgotten.
class StopSignalsHeld {
public:
    StopSignalsHeld() {
        sigset_t stop;
        ::sigemptyset(&stop);
        for (const int s : StopSignals) ::sigaddset(&stop, s);
        ::pthread_sigmask(SIG_BLOCK, &stop, &previous_);
    }
    ~StopSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

private:
    sigset_t previous_;
};

// The named temporaries that exist right now, for the stop handler. Fixed
// storage, because a signal handler may only read memory and make
// async-signal-safe calls such as unlink.
struct TemporarySlot {
    std::atomic<bool> used{false};
    char path[PATH_MAX];
};
std::array<TemporarySlot, 16> temporarySlots;

void removeTemporariesAndStop(int signal) {
    for (TemporarySlot& slot : temporarySlots)
        if (slot.used.load()) ::unlink(slot.path);
    // SA_RESETHAND restored the default action; the signal is held until
    // the handler returns and then ends the process as it would have.
    ::raise(signal);
}

void installStopHandler() {
    for (const int s : StopSignals) {
        struct sigaction current {};
        if (::sigaction(s, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction remove {};
        remove.sa_handler = removeTemporariesAndStop;
        remove.sa_flags = SA_RESETHAND;
        ::sigemptyset(&remove.sa_mask);
        ::sigaction(s, &remove, nullptr);
    }
}

std::atomic<bool> namedTemporariesOnly{false};

// Where linkat can give an unnamed file a name: through its /proc entry.
bool canNameUnnamedFiles() {
    static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
    return proc && !namedTemporariesOnly.load();
}

std::string procPathOf(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The new content of `target` while it is being written. Unnamed
// (O_TMPFILE) where the file system supports it, else under a short name
// recorded for the stop handler. Removed by the destructor unless it
// replaced the target.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target) : folder_(folderOf(target)), fd_(-1) {
        if (canNameUnnamedFiles()) {
            fd_.reset(::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
            if (fd_.get() >= 0) return;
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) throw fileError(errno);
        }
        createNamed();
    }
    ~TemporaryFile() {
        if (slot_ == nullptr) return;
        const StopSignalsHeld held;
        ::unlink(slot_->path);
        slot_->used.store(false);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_.get(); }

    // Puts the written file in the target's place. `replacing`: whether a
    // file of that name existed when the write began.
    void replace(const std::filesystem::path& target, bool replacing) {
        if (slot_ != nullptr) {
            fd_.close();
            const StopSignalsHeld held;
            if (::rename(slot_->path, target.c_str()) != 0) throw fileError(errno);
            slot_->used.store(false);
            slot_ = nullptr;
            return;
        }
        linkUnnamed(target, replacing);
        // Local file systems, the only ones with O_TMPFILE, report write
        // failures at write(); the check only keeps the descriptor honest.
        fd_.close();
    }

private:
    void createNamed() {
        installStopHandler();
        const StopSignalsHeld held;
        for (;;) {
            const std::string name = temporaryName(folder_).string();
            if (name.size() >= PATH_MAX) throw fileError(ENAMETOOLONG);
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno == EEXIST) continue;
            if (fd < 0) throw fileError(errno);
            fd_.reset(fd);
            slot_ = freeSlot();
            if (slot_ == nullptr) {
                ::unlink(name.c_str());
                throw Error(inLanguage("同时写入的文件过多", "too many files being written at once"), ErrorKind::File);
            }
            std::memcpy(slot_->path, name.c_str(), name.size() + 1);
            return;
        }
    }

    static TemporarySlot* freeSlot() {
        for (TemporarySlot& slot : temporarySlots) {
            bool expected = false;
            if (slot.used.compare_exchange_strong(expected, true)) return &slot;
        }
        return nullptr;
    }

    // A new file gets its name directly. An existing one is replaced in one
    // step by renaming a second link over it; the stop signals wait meanwhile,
    // so that link never outlives this call.
    void linkUnnamed(const std::filesystem::path& target, bool replacing) {
        const std::string source = procPathOf(fd_.get());
        if (!replacing) {
            if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) return;
            if (errno != EEXIST) throw fileError(errno);
        }
        const StopSignalsHeld held;
        for (;;) {
            const std::filesystem::path name = temporaryName(folder_);
            if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
                if (errno == EEXIST) continue;
                throw fileError(errno);
            }
            if (::rename(name.c_str(), target.c_str()) == 0) return;
            const int failure = errno;
            ::unlink(name.c_str());
            throw fileError(failure);
        }
    }

    std::filesystem::path folder_;
    FileDescriptor fd_;
    TemporarySlot* slot_ = nullptr;
};

// "1 MB" for whole mebibytes, else bytes.
std::string sizeText(std::size_t bytes) {
    constexpr std::size_t MB = 1 << 20;
    return bytes % MB == 0 ? std::to_string(bytes / MB) + " MB" : std::to_string(bytes) + inLanguage(" 字节", " bytes");
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

std::string systemReason(int errorNumber) {
    if (messageLanguage() == Language::English) {
        switch (errorNumber) {
        case ENOENT: return "no such file or folder";
        case ENOTDIR: return "a part of the path is not a folder";
        case EISDIR: return "it is a folder";
        case ENAMETOOLONG: return "file name too long";
        case EACCES:
        case EPERM: return "permission denied";
        case EROFS: return "read-only file system";
        case ENOSPC: return "disk full";
        case EDQUOT: return "disk quota exceeded";
        default: return "read or write error (system error " + std::to_string(errorNumber) + ")";
        }
    }
    switch (errorNumber) {
    case ENOENT: return "文件或文件夹不存在";
    case ENOTDIR: return "路径中有一项不是文件夹";
    case EISDIR: return "这是一个文件夹";
    case ENAMETOOLONG: return "文件名过长";
    case EACCES:
    case EPERM: return "没有权限";
    case EROFS: return "文件系统只读";
    case ENOSPC: return "磁盘已满";
    case EDQUOT: return "超出磁盘配额";
    default: return "读写错误（系统错误号 " + std::to_string(errorNumber) + "）";
    }
}

void writeFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
    const std::optional<struct stat> old = replacedFile(path);
    TemporaryFile temporary(path);
    writeAll(temporary.fd(), bytes);
    if (old) keepOwnerAndMode(temporary.fd(), *old);
    temporary.replace(path, old.has_value());
}

void useNamedTemporaryFiles(bool named) { namedTemporariesOnly.store(named); }

std::string readFileBytes(const std::filesystem::path& path, std::size_t maxBytes) {
    // Not blocking, so that opening a pipe returns at once to be refused.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) throw fileError(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) throw fileError(errno);
    if (S_ISDIR(status.st_mode)) throw fileError(EISDIR);
    if (!S_ISREG(status.st_mode))
        throw Error(inLanguage("不是普通文件，不能读取", "not a regular file, cannot be read"), ErrorKind::File);
    const auto tooLarge = [&] {
        return Error(messageLanguage() == Language::English
                         ? "file larger than " + sizeText(maxBytes) + ", cannot be read"
                         : "文件大于 " + sizeText(maxBytes) + "，不能读取");
    };
    if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) throw tooLarge();
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw fileError(errno);
        if (n == 0) return bytes;
        // The file may grow while it is read.
        if (static_cast<std::size_t>(n) > maxBytes - bytes.size()) throw tooLarge();
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

void checkBlockName(const std::string& blockName) {
    // A control character would reach the terminal and the file lists, and
    // a NUL would cut the file's name short: "keep.dat\0" names keep.dat.
    if (std::any_of(blockName.begin(), blockName.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        throw Error::refused(messageLanguage() == Language::English
                                 ? "invalid block name \"" + visibleText(blockName) +
                                       "\": it may not contain a control character"
                                 : "块体名称“" + visibleText(blockName) + "”无效：不能含有控制字符");
    if (blockName.find_first_of("/\\") != std::string::npos || blockName == "." || blockName == "..")
        throw Error::refused(messageLanguage() == Language::English
                                 ? "invalid block name \"" + blockName +
                                       "\": it may not contain \"/\" or \"\\\", nor be \".\" or \"..\""
                                 : "块体名称“" + blockName + "”无效：不能含有“/”或“\\”，也不能是“.”或“..”");
}

std::string crlfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

void writeTextFile(const std::filesystem::path& path, const std::string& utf8Text) {
    writeFileAtomically(path, utf8ToGb18030(utf8Text));
}

std::string readTextFile(const std::filesystem::path& path, std::size_t maxBytes) {
    const std::string bytes = readFileBytes(path, maxBytes);
    try {
        return fileBytesToUtf8(bytes);
    } catch (const Error& error) {
        throw Error(messageLanguage() == Language::English
                        ? "file \"" + path.string() + "\" cannot be read: " + error.what()
                        : "文件“" + path.string() + "”无法读取：" + error.what(),
                    ErrorKind::File)
            .withPath(path);
    }
}

} // namespace trelmox
