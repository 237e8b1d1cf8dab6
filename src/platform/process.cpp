#include "platform/process.h"

#include "platform/process_output.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

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

std::string quote_windows_argument(std::string_view arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string_view::npos)
        return std::string(arg);
    // Backslashes are taken literally unless they come before a double quote: there they are
    // doubled, and the quote itself is escaped by one more.
    std::string out = "\"";
    size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, '\\'); // before the closing quote
    out.push_back('"');
    return out;
}

namespace {
// How many bytes at the end of text begin a UTF-8 character that is not complete yet.
size_t incomplete_utf8_tail(std::string_view text) {
    const size_t n = text.size();
    for (size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(text[n - back]);
        if ((c & 0xC0) == 0x80) continue; // a continuation byte: look further back
        const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}
} // namespace

void LineSplitter::end_line(std::string_view rest, const Sink& sink) {
    if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
    if (sink) sink(rest, true);
    mid_line_ = false;
}

void LineSplitter::feed(std::string_view data, const Sink& sink) {
    while (!data.empty()) {
        const size_t nl = data.find('\n');
        if (nl == std::string_view::npos) break;
        if (partial_.empty()) {
            end_line(data.substr(0, nl), sink);
        } else {
            partial_.append(data.substr(0, nl));
            end_line(partial_, sink);
            partial_.clear();
        }
        data.remove_prefix(nl + 1);
    }
    partial_.append(data);
    if (partial_.size() <= max_piece_) return;
    // Too long to hold: the line so far goes out, all but a character not yet complete and a
    // CR that may belong to the line end.
    size_t cut = partial_.size() - incomplete_utf8_tail(partial_);
    if (cut > 0 && partial_[cut - 1] == '\r') --cut;
    if (cut == 0) return;
    mid_line_ = true;
    if (sink) sink(std::string_view(partial_).substr(0, cut), false);
    partial_.erase(0, cut);
}

void LineSplitter::finish(const Sink& sink) {
    if (partial_.empty() && !mid_line_) return;
    end_line(partial_, sink);
    partial_.clear();
}

namespace detail {

namespace {
// Every piece as a line of its own, except the empty end of a line already handed out.
LineSplitter::Sink as_lines(const LineSplitter& lines, const OutputSink& sink) {
    return [&lines, &sink](std::string_view piece, bool line_end) {
        if (sink && !(line_end && piece.empty() && lines.mid_line())) sink(piece);
    };
}
} // namespace

void hand_out(LineSplitter& lines, std::string_view data, const OutputSink& sink, bool raw) {
    if (raw) {
        if (sink && !data.empty()) sink(data);
        return;
    }
    lines.feed(data, as_lines(lines, sink));
}

void hand_out_rest(LineSplitter& lines, const OutputSink& sink) {
    lines.finish(as_lines(lines, sink));
}

bool OutputLinger::keep_reading(bool child_running, bool had_output) {
    const auto now = std::chrono::steady_clock::now();
    if (!ended_at_) {
        if (child_running) return true;
        ended_at_ = now;
    }
    if (had_output || !quiet_since_) quiet_since_ = now;
    return now - *quiet_since_ < std::chrono::milliseconds(ChildProcess::output_quiet_ms) &&
           now - *ended_at_ < std::chrono::milliseconds(ChildProcess::output_linger_ms);
}

} // namespace detail

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

} // namespace orvel
