// Starting programs on Windows: CreateProcessW with an argument string quoted by the Windows
// rules, pipes read without blocking.
#ifdef _WIN32

#include "platform/files.h"
#include "platform/process.h"
#include "platform/process_output.h"
#include "platform/text.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include <windows.h>

#include <shellapi.h>

namespace orvel {

namespace {
// A handle closed when it goes out of scope.
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    HANDLE release() { return std::exchange(h_, nullptr); }
    void reset(HANDLE h = nullptr) {
        if (h_) ::CloseHandle(h_);
        h_ = h == INVALID_HANDLE_VALUE ? nullptr : h;
    }

  private:
    HANDLE h_ = nullptr;
};

bool has_separator(std::string_view path) {
    return path.find_first_of("/\\:") != std::string_view::npos;
}

// Windows runs a bare name with ".exe" added when it has no extension of its own.
std::vector<std::string> candidate_names(const std::string& program) {
    const std::string name = file_name_of(program);
    if (name.find('.') != std::string::npos) return {program};
    return {program + ".exe", program};
}

// Inheritable handles for the child's standard streams.
HANDLE inheritable_file(const std::wstring& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A pipe whose reading end stays with the program and whose writing end the child inherits.
bool make_output_pipe(UniqueHandle& read_end, UniqueHandle& write_end) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!::CreatePipe(&r, &w, &sa, 1 << 16)) return false;
    read_end.reset(r);
    write_end.reset(w);
    return ::SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0);
}

// A copy of one of the program's own standard handles that a child can inherit.
HANDLE inheritable_copy(DWORD which) {
    const HANDLE own = ::GetStdHandle(which);
    if (own == nullptr || own == INVALID_HANDLE_VALUE) return nullptr;
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &copy, 0, TRUE,
                           DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}
} // namespace

std::string resolve_program(const std::string& program, const std::string& working_folder) {
    if (has_separator(program)) return program;
    std::vector<std::string> folders;
    if (!working_folder.empty()) folders.push_back(working_folder);
    for (const std::string& folder : split(environment_variable("PATH").value_or(""), ';'))
        if (!folder.empty()) folders.push_back(folder);
    for (const std::string& folder : folders)
        for (const std::string& name : candidate_names(program)) {
            const std::string candidate = join_path(folder, name);
            if (file_size(candidate) >= 0) return candidate;
        }
    return program;
}

struct ChildProcess::Impl {
    UniqueHandle process;
    UniqueHandle job; // own_group: the job object that holds the child and what it starts
    bool finished = false;
    DWORD exit_code = 0;
    UniqueHandle out_pipe;
    UniqueHandle err_pipe;
    bool raw_stdout = false;
    bool raw_stderr = false;
    LineSplitter out_lines;
    LineSplitter err_lines;
    detail::OutputLinger linger;
};

ChildProcess::ChildProcess() : impl_(std::make_unique<Impl>()) {}

ChildProcess::~ChildProcess() {
    impl_->out_pipe.reset();
    impl_->err_pipe.reset();
    if (impl_->process && !impl_->finished) kill(); // a child still running is ended
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args,
                         const Options& options) {
    std::string exe = resolve_program(program, options.working_folder);
    if (file_size(exe) < 0 && file_size(exe + ".exe") >= 0) exe += ".exe";
    if (file_size(exe) < 0) return false; // missing, or a folder
    if (!options.working_folder.empty() && !folder_exists(options.working_folder)) return false;

    std::string command_line = quote_windows_argument(exe);
    for (const std::string& a : args)
        command_line += " " + quote_windows_argument(a);

    UniqueHandle in, out, err, out_read, err_read;
    in.reset(inheritable_file(L"NUL", GENERIC_READ, OPEN_EXISTING));
    if (options.capture_output) {
        if (!make_output_pipe(out_read, out) || !make_output_pipe(err_read, err)) return false;
    } else if (options.discard_output) {
        out.reset(inheritable_file(L"NUL", GENERIC_WRITE, OPEN_EXISTING));
        err.reset(inheritable_file(L"NUL", GENERIC_WRITE, OPEN_EXISTING));
    } else {
        out.reset(inheritable_copy(STD_OUTPUT_HANDLE));
        err.reset(inheritable_copy(STD_ERROR_HANDLE));
    }
    if (!options.stdout_file.empty()) {
        out.reset(inheritable_file(to_wide(options.stdout_file), GENERIC_WRITE, CREATE_ALWAYS));
        if (!out) return false;
    }

    // The child inherits its three standard handles and nothing else, even while other
    // threads start programs of their own.
    HANDLE inherited[3];
    DWORD inherited_count = 0;
    for (const UniqueHandle* h : {&in, &out, &err})
        if (*h) inherited[inherited_count++] = h->get();
    SIZE_T attribute_size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &attribute_size);
    std::vector<unsigned char> attribute_memory(attribute_size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attribute_memory.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &attribute_size)) return false;
    const bool listed =
        inherited_count == 0 ||
        ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                    inherited_count * sizeof(HANDLE), nullptr, nullptr);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = in.get();
    startup.StartupInfo.hStdOutput = out.get();
    startup.StartupInfo.hStdError = err.get();
    startup.lpAttributeList = listed ? attributes : nullptr;

    std::wstring wide_command = to_wide(command_line);
    const std::wstring wide_exe = to_wide(exe);
    const std::wstring wide_folder = to_wide(options.working_folder);
    PROCESS_INFORMATION info{};
    const BOOL created = ::CreateProcessW(
        wide_exe.c_str(), wide_command.data(), nullptr, nullptr, inherited_count > 0,
        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT |
            (listed ? EXTENDED_STARTUPINFO_PRESENT : 0) |
            (options.own_group ? CREATE_SUSPENDED : 0),
        nullptr, wide_folder.empty() ? nullptr : wide_folder.c_str(), &startup.StartupInfo, &info);
    ::DeleteProcThreadAttributeList(attributes);
    if (!created) return false;
    if (options.own_group) {
        // The child joins its job before it runs a single instruction, so whatever it starts
        // is in the job too.
        impl_->job.reset(::CreateJobObjectW(nullptr, nullptr));
        if (impl_->job && !::AssignProcessToJobObject(impl_->job.get(), info.hProcess))
            impl_->job.reset();
        ::ResumeThread(info.hThread);
    }
    ::CloseHandle(info.hThread);
    impl_->process.reset(info.hProcess);
    impl_->finished = false;
    if (options.capture_output) {
        impl_->out_pipe.reset(out_read.release());
        impl_->err_pipe.reset(err_read.release());
        impl_->raw_stdout = options.raw_stdout;
        impl_->raw_stderr = options.raw_stderr;
    }
    return true;
}

bool ChildProcess::running() {
    if (!impl_->process || impl_->finished) return false;
    if (::WaitForSingleObject(impl_->process.get(), 0) != WAIT_OBJECT_0) return true;
    impl_->finished = true;
    if (!::GetExitCodeProcess(impl_->process.get(), &impl_->exit_code)) impl_->exit_code = 1;
    return false;
}

std::optional<int> ChildProcess::wait(int timeout_ms) {
    if (!impl_->process) return std::nullopt;
    if (!impl_->finished) {
        const DWORD limit = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
        if (::WaitForSingleObject(impl_->process.get(), limit) != WAIT_OBJECT_0)
            return std::nullopt;
        running(); // takes the exit code
    }
    return static_cast<int>(impl_->exit_code);
}

void ChildProcess::kill() {
    if (impl_->process && !impl_->finished) {
        ::TerminateProcess(impl_->process.get(), 1);
        wait(-1);
    }
}

void ChildProcess::stop(int /*grace_ms*/) {
    // Windows has no polite request to a console-less child: the group is ended at once.
    if (impl_->job) ::TerminateJobObject(impl_->job.get(), 1);
    kill();
}

namespace {
// Reads what the pipe holds without waiting (a flood a piece at a time, so that the caller
// keeps its turns). False once the pipe is closed by every writer (the handle is then closed,
// a final unterminated line handed out).
bool drain(UniqueHandle& pipe, LineSplitter& buf, const detail::OutputSink& sink, bool raw,
           bool& had_output) {
    char chunk[65536];
    for (int round = 0;; ++round) {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe.get(), nullptr, 0, nullptr, &available, nullptr)) break;
        if (available == 0) return true;
        DWORD n = 0;
        const DWORD want = std::min<DWORD>(available, sizeof chunk);
        if (!::ReadFile(pipe.get(), chunk, want, &n, nullptr) || n == 0) break;
        had_output = true;
        detail::hand_out(buf, std::string_view(chunk, n), sink, raw);
        if (round == 15) return true;
    }
    detail::hand_out_rest(buf, sink);
    pipe.reset();
    had_output = true;
    return false;
}
} // namespace

bool ChildProcess::poll_output(int timeout_ms, const detail::OutputSink& on_stdout,
                               const detail::OutputSink& on_stderr) {
    if (!impl_->out_pipe && !impl_->err_pipe) return false;
    // Anonymous pipes cannot be waited on together: they are looked at in short steps until
    // something arrives or the time is up.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    bool had_output = false;
    for (;;) {
        if (impl_->out_pipe)
            drain(impl_->out_pipe, impl_->out_lines, on_stdout, impl_->raw_stdout, had_output);
        if (impl_->err_pipe)
            drain(impl_->err_pipe, impl_->err_lines, on_stderr, impl_->raw_stderr, had_output);
        if (had_output || std::chrono::steady_clock::now() >= deadline) break;
        ::Sleep(2);
    }
    if (!impl_->out_pipe && !impl_->err_pipe) return false;

    if (impl_->linger.keep_reading(running(), had_output)) return true;
    if (impl_->out_pipe) {
        detail::hand_out_rest(impl_->out_lines, on_stdout);
        impl_->out_pipe.reset();
    }
    if (impl_->err_pipe) {
        detail::hand_out_rest(impl_->err_lines, on_stderr);
        impl_->err_pipe.reset();
    }
    return false;
}

bool open_with_associated_program(const std::string& path_or_address) {
    // ShellExecuteW answers a number above 32 when the program was started.
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        nullptr, L"open", to_wide(path_or_address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

} // namespace orvel

#endif
