#include "platform/process.h"

#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvel {

std::vector<std::string> split_arguments(std::string_view text) {
    std::vector<std::string> args;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i >= text.size()) break;
        std::string arg;
        bool quoted = false;
        bool had_quotes = false;
        while (i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t'))) {
            if (text[i] == '"') {
                quoted = !quoted;
                had_quotes = true;
            } else {
                arg.push_back(text[i]);
            }
            ++i;
        }
        if (!arg.empty() || had_quotes) args.push_back(std::move(arg));
    }
    return args;
}

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
    bool finished = false;
    int status = 0;
    int out_fd = -1;
    int err_fd = -1;
    bool raw_stdout = false;
    std::string out_buf;
    std::string err_buf;
    // Set once the child is seen to have ended while its pipes are still open, and each time
    // the pipes then go quiet.
    std::optional<std::chrono::steady_clock::time_point> ended_at;
    std::optional<std::chrono::steady_clock::time_point> quiet_since;
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

    int out_pipe[2] = {-1, -1};
    int err_pipe[2] = {-1, -1};
    int exec_pipe[2] = {-1, -1}; // tells the parent whether exec failed
    int out_file = -1;
    if (options.capture_output) {
        if (::pipe2(out_pipe, O_CLOEXEC) != 0) return false;
        if (::pipe2(err_pipe, O_CLOEXEC) != 0) {
            ::close(out_pipe[0]);
            ::close(out_pipe[1]);
            return false;
        }
    }
    if (!options.stdout_file.empty()) {
        out_file =
            ::open(options.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (out_file < 0) return false;
    }
    int null_fd = -1;
    if (options.discard_output) null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (::pipe2(exec_pipe, O_CLOEXEC) != 0) return false;

    const pid_t pid = ::fork();
    if (pid == 0) {
        // Child: only async-signal-safe calls until exec.
        if (!options.working_folder.empty() && ::chdir(options.working_folder.c_str()) != 0)
            ::_exit(127);
        int devnull_in = ::open("/dev/null", O_RDONLY);
        if (devnull_in >= 0) ::dup2(devnull_in, 0);
        if (options.capture_output) {
            ::dup2(out_pipe[1], 1);
            ::dup2(err_pipe[1], 2);
        }
        if (out_file >= 0) ::dup2(out_file, 1);
        if (null_fd >= 0) {
            ::dup2(null_fd, 1);
            ::dup2(null_fd, 2);
        }
        ::execv(exe.c_str(), argv.data());
        const int err = errno;
        ssize_t ignored = ::write(exec_pipe[1], &err, sizeof err);
        (void)ignored;
        ::_exit(127);
    }
    ::close(exec_pipe[1]);
    if (out_file >= 0) ::close(out_file);
    if (null_fd >= 0) ::close(null_fd);
    if (options.capture_output) {
        ::close(out_pipe[1]);
        ::close(err_pipe[1]);
    }
    if (pid < 0) {
        ::close(exec_pipe[0]);
        if (options.capture_output) {
            ::close(out_pipe[0]);
            ::close(err_pipe[0]);
        }
        return false;
    }
    int child_errno = 0;
    ssize_t n;
    do {
        n = ::read(exec_pipe[0], &child_errno, sizeof child_errno);
    } while (n < 0 && errno == EINTR);
    ::close(exec_pipe[0]);
    impl_->pid = pid;
    impl_->finished = false;
    if (n > 0) {
        // exec failed: collect the child and report that nothing was started.
        wait(-1);
        if (options.capture_output) {
            ::close(out_pipe[0]);
            ::close(err_pipe[0]);
        }
        impl_->pid = -1;
        return false;
    }
    if (options.capture_output) {
        impl_->out_fd = out_pipe[0];
        impl_->err_fd = err_pipe[0];
        impl_->raw_stdout = options.raw_stdout;
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

namespace {
// Hands out a final unterminated line and closes the stream.
void close_stream(int& fd, std::string& buf, const std::function<void(std::string_view)>& sink) {
    if (!buf.empty()) {
        if (buf.back() == '\r') buf.pop_back();
        if (sink) sink(buf);
        buf.clear();
    }
    ::close(fd);
    fd = -1;
}

// Reads what is available from fd into buf and hands out complete lines (raw: the bytes as
// they came). Returns false at end of file (the fd is then closed and set to -1), handing out
// a final unterminated line.
bool drain(int& fd, std::string& buf, const std::function<void(std::string_view)>& sink,
           bool raw = false) {
    char chunk[65536];
    const ssize_t n = ::read(fd, chunk, raw ? sizeof chunk : 8192);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (n > 0 && raw) {
        if (sink) sink(std::string_view(chunk, static_cast<size_t>(n)));
        return true;
    }
    if (n > 0) {
        buf.append(chunk, static_cast<size_t>(n));
        size_t start = 0;
        size_t nl;
        while ((nl = buf.find('\n', start)) != std::string::npos) {
            size_t end = nl;
            if (end > start && buf[end - 1] == '\r') --end;
            if (sink) sink(std::string_view(buf).substr(start, end - start));
            start = nl + 1;
        }
        buf.erase(0, start);
        return true;
    }
    close_stream(fd, buf, sink);
    return false;
}
} // namespace

bool ChildProcess::poll_output(int timeout_ms,
                               const std::function<void(std::string_view)>& on_stdout,
                               const std::function<void(std::string_view)>& on_stderr) {
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
        drain(impl_->out_fd, impl_->out_buf, on_stdout, impl_->raw_stdout);
    if (err_index >= 0 && (fds[err_index].revents & (POLLIN | POLLHUP | POLLERR)))
        drain(impl_->err_fd, impl_->err_buf, on_stderr);
    if (impl_->out_fd < 0 && impl_->err_fd < 0) return false;

    // The pipes stay open as long as any process holds them: a helper that the child started
    // (a wrapper script's background job) inherits them and may outlive the child by hours.
    // Once the child has ended, what is left is read until the pipes have been quiet for a
    // moment (or the child has been gone for a while), and then they are closed.
    const auto now = std::chrono::steady_clock::now();
    if (!impl_->ended_at) {
        if (running()) return true;
        impl_->ended_at = now;
    }
    if (r > 0 || !impl_->quiet_since) impl_->quiet_since = now;
    if (now - *impl_->quiet_since < std::chrono::milliseconds(output_quiet_ms) &&
        now - *impl_->ended_at < std::chrono::milliseconds(output_linger_ms))
        return true;
    if (impl_->out_fd >= 0) close_stream(impl_->out_fd, impl_->out_buf, on_stdout);
    if (impl_->err_fd >= 0) close_stream(impl_->err_fd, impl_->err_buf, on_stderr);
    return false;
}

namespace {
RunResult finish(ChildProcess& child, int timeout_ms) {
    RunResult result;
    result.started = true;
    const std::optional<int> code = child.wait(timeout_ms);
    if (!code) {
        child.kill();
        result.timed_out = true;
        return result;
    }
    result.exit_code = *code;
    return result;
}
} // namespace

RunResult run_and_wait(const std::string& program, std::string_view arguments,
                       const std::string& working_folder, int timeout_ms) {
    ChildProcess child;
    ChildProcess::Options options;
    options.working_folder = working_folder;
    if (!child.start(program, split_arguments(arguments), options)) return {};
    return finish(child, timeout_ms);
}

RunResult run_redirected(const std::string& program, std::string_view arguments,
                         const std::string& working_folder, const std::string& stdout_file,
                         int timeout_ms) {
    ChildProcess child;
    ChildProcess::Options options;
    options.working_folder = working_folder;
    options.stdout_file = stdout_file;
    if (!child.start(program, split_arguments(arguments), options)) return {};
    return finish(child, timeout_ms);
}

RunResult run_captured(const std::string& program, std::string_view arguments,
                       const std::string& working_folder,
                       const std::function<void(std::string_view)>& on_stdout,
                       const std::function<void(std::string_view)>& on_stderr,
                       const std::function<void()>& keep_alive, int timeout_ms) {
    ChildProcess child;
    ChildProcess::Options options;
    options.working_folder = working_folder;
    options.capture_output = true;
    if (!child.start(program, split_arguments(arguments), options)) return {};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (child.poll_output(30, on_stdout, on_stderr)) {
        if (keep_alive) keep_alive();
        if (timeout_ms >= 0 && std::chrono::steady_clock::now() >= deadline) {
            child.kill();
            RunResult result;
            result.started = true;
            result.timed_out = true;
            return result;
        }
    }
    if (timeout_ms < 0) return finish(child, -1);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return finish(child, static_cast<int>(std::max<long long>(0, left.count())));
}

std::string seconds_text(int ms) {
    std::string text = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        char tenths[8];
        std::snprintf(tenths, sizeof tenths, "%03d", ms % 1000);
        std::string fraction(tenths);
        while (fraction.back() == '0')
            fraction.pop_back();
        text += "." + fraction;
    }
    return text + (ms == 1000 ? " second" : " seconds");
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
