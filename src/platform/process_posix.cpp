// Starting programs on POSIX systems: fork and exec, pipes read with poll.
#ifndef _WIN32

#include "platform/files.h"
#include "platform/process.h"
#include "platform/process_output.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvel {

namespace {
// A file descriptor closed when it goes out of scope, so that every early return of a start
// that failed half way closes what was opened so far.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

// Both ends of a new pipe, closed on exec; false when the system has none to give.
bool make_pipe(UniqueFd& read_end, UniqueFd& write_end) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    read_end.reset(fds[0]);
    write_end.reset(fds[1]);
    return true;
}
} // namespace

std::string resolve_program(const std::string& program, const std::string& working_folder) {
    if (program.find('/') != std::string::npos) return program;
    if (!working_folder.empty()) {
        const std::string local = join_path(working_folder, program);
        if (file_exists(local)) return local;
    }
    if (const char* path = std::getenv("PATH")) {
        std::string_view rest(path);
        while (true) {
            const size_t colon = rest.find(':');
            const std::string dir(rest.substr(0, colon));
            if (!dir.empty()) {
                const std::string candidate = join_path(dir, program);
                if (::access(candidate.c_str(), X_OK) == 0 && file_size(candidate) >= 0)
                    return candidate;
            }
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
        }
    }
    return program;
}

struct ChildProcess::Impl {
    pid_t pid = -1;
    bool own_group = false;
    bool finished = false;
    int status = 0;
    int out_fd = -1;
    int err_fd = -1;
    bool raw_stdout = false;
    bool raw_stderr = false;
    LineSplitter out_lines;
    LineSplitter err_lines;
    detail::OutputLinger linger;
};

ChildProcess::ChildProcess() : impl_(std::make_unique<Impl>()) {}

ChildProcess::~ChildProcess() {
    if (impl_->out_fd >= 0) ::close(impl_->out_fd);
    if (impl_->err_fd >= 0) ::close(impl_->err_fd);
    if (impl_->pid > 0 && !impl_->finished) {
        // Never leave a zombie behind: a child still running is ended.
        kill();
    }
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args,
                         const Options& options) {
    const std::string exe = resolve_program(program, options.working_folder);
    if (::access(exe.c_str(), X_OK) != 0 || file_size(exe) < 0) return false;
    if (!options.working_folder.empty() && !folder_exists(options.working_folder)) return false;

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(exe.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    UniqueFd out_read, out_write, err_read, err_write;
    UniqueFd exec_read, exec_write; // tells the parent whether exec failed
    UniqueFd out_file, null_fd;
    if (options.capture_output &&
        (!make_pipe(out_read, out_write) || !make_pipe(err_read, err_write)))
        return false;
    if (!options.stdout_file.empty()) {
        out_file.reset(
            ::open(options.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!out_file) return false;
    }
    if (options.discard_output) null_fd.reset(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (!make_pipe(exec_read, exec_write)) return false;

    const pid_t pid = ::fork();
    if (pid == 0) {
        // Child: only async-signal-safe calls until exec.
        if (options.own_group) ::setpgid(0, 0);
        if (!options.working_folder.empty() && ::chdir(options.working_folder.c_str()) != 0)
            ::_exit(127);
        int devnull_in = ::open("/dev/null", O_RDONLY);
        if (devnull_in >= 0) ::dup2(devnull_in, 0);
        if (out_write) {
            ::dup2(out_write.get(), 1);
            ::dup2(err_write.get(), 2);
        }
        if (out_file) ::dup2(out_file.get(), 1);
        if (null_fd) {
            ::dup2(null_fd.get(), 1);
            ::dup2(null_fd.get(), 2);
        }
        ::execv(exe.c_str(), argv.data());
        const int err = errno;
        ssize_t ignored = ::write(exec_write.get(), &err, sizeof err);
        (void)ignored;
        ::_exit(127);
    }
    // The parent keeps only the reading ends.
    exec_write.reset();
    out_file.reset();
    null_fd.reset();
    out_write.reset();
    err_write.reset();
    if (pid < 0) return false;
    // Set on both sides, so the group exists whichever runs first.
    if (options.own_group) ::setpgid(pid, pid);
    int child_errno = 0;
    ssize_t n;
    do {
        n = ::read(exec_read.get(), &child_errno, sizeof child_errno);
    } while (n < 0 && errno == EINTR);
    impl_->pid = pid;
    impl_->own_group = options.own_group;
    impl_->finished = false;
    if (n > 0) {
        // exec failed: collect the child and report that nothing was started.
        wait(-1);
        impl_->pid = -1;
        return false;
    }
    if (options.capture_output) {
        impl_->out_fd = out_read.release();
        impl_->err_fd = err_read.release();
        impl_->raw_stdout = options.raw_stdout;
        impl_->raw_stderr = options.raw_stderr;
    }
    return true;
}

bool ChildProcess::running() {
    if (impl_->pid <= 0 || impl_->finished) return false;
    int status = 0;
    const pid_t r = ::waitpid(impl_->pid, &status, WNOHANG);
    if (r == impl_->pid) {
        impl_->finished = true;
        impl_->status = status;
        return false;
    }
    return r == 0;
}

std::optional<int> ChildProcess::wait(int timeout_ms) {
    if (impl_->pid <= 0) return std::nullopt;
    if (!impl_->finished) {
        if (timeout_ms < 0) {
            int status = 0;
            pid_t r;
            do {
                r = ::waitpid(impl_->pid, &status, 0);
            } while (r < 0 && errno == EINTR);
            impl_->finished = true;
            impl_->status = status;
        } else {
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
            while (running()) {
                if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
                ::usleep(2000);
            }
        }
    }
    const int status = impl_->status;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

void ChildProcess::kill() {
    if (impl_->pid > 0 && !impl_->finished) {
        ::kill(impl_->pid, SIGKILL);
        wait(-1);
    }
}

void ChildProcess::stop(int grace_ms) {
    if (impl_->pid <= 0) return;
    // The group is signalled even when the child itself has ended already: what it started
    // may still run. Its id stays the child's until the child is collected, and a group
    // without members only fails the call.
    const auto signal = [this](int sig) {
        if (impl_->own_group) ::kill(-impl_->pid, sig);
        if (!impl_->finished) ::kill(impl_->pid, sig);
    };
    signal(SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(grace_ms);
    while (running() && std::chrono::steady_clock::now() < deadline)
        ::usleep(5000);
    if (impl_->own_group) ::kill(-impl_->pid, SIGKILL);
    if (!impl_->finished) {
        ::kill(impl_->pid, SIGKILL);
        wait(-1);
    }
}

namespace {
// Hands out a final unterminated line and closes the stream.
void close_stream(int& fd, LineSplitter& buf, const detail::OutputSink& sink) {
    detail::hand_out_rest(buf, sink);
    ::close(fd);
    fd = -1;
}

// Reads what is available from fd and hands it out. At end of file the fd is closed and set
// to -1, a final unterminated line handed out.
void drain(int& fd, LineSplitter& buf, const detail::OutputSink& sink, bool raw = false) {
    char chunk[65536];
    const ssize_t n = ::read(fd, chunk, raw ? sizeof chunk : 8192);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n > 0)
        detail::hand_out(buf, std::string_view(chunk, static_cast<size_t>(n)), sink, raw);
    else
        close_stream(fd, buf, sink);
}
} // namespace

bool ChildProcess::poll_output(int timeout_ms, const detail::OutputSink& on_stdout,
                               const detail::OutputSink& on_stderr) {
    if (impl_->out_fd < 0 && impl_->err_fd < 0) return false;
    pollfd fds[2];
    int count = 0;
    int out_index = -1, err_index = -1;
    if (impl_->out_fd >= 0) {
        out_index = count;
        fds[count++] = {impl_->out_fd, POLLIN, 0};
    }
    if (impl_->err_fd >= 0) {
        err_index = count;
        fds[count++] = {impl_->err_fd, POLLIN, 0};
    }
    const int r = ::poll(fds, static_cast<nfds_t>(count), timeout_ms);
    if (r < 0) return errno == EINTR;
    if (out_index >= 0 && (fds[out_index].revents & (POLLIN | POLLHUP | POLLERR)))
        drain(impl_->out_fd, impl_->out_lines, on_stdout, impl_->raw_stdout);
    if (err_index >= 0 && (fds[err_index].revents & (POLLIN | POLLHUP | POLLERR)))
        drain(impl_->err_fd, impl_->err_lines, on_stderr, impl_->raw_stderr);
    if (impl_->out_fd < 0 && impl_->err_fd < 0) return false;

    if (impl_->linger.keep_reading(running(), r > 0)) return true;
    if (impl_->out_fd >= 0) close_stream(impl_->out_fd, impl_->out_lines, on_stdout);
    if (impl_->err_fd >= 0) close_stream(impl_->err_fd, impl_->err_lines, on_stderr);
    return false;
}

bool open_with_associated_program(const std::string& path_or_address) {
    ChildProcess child;
    ChildProcess::Options options;
    options.discard_output = true;
    if (!child.start("xdg-open", {path_or_address}, options)) return false;
    // xdg-open hands the file to the desktop and ends quickly.
    const auto code = child.wait(10000);
    return code && *code == 0;
}

} // namespace orvel

#endif
