#include "support/scripted_host.h"

#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <process.h>
#endif

namespace orvel::test {

Answer ScriptedHost::message(std::string_view title, std::string_view text, Buttons buttons,
                             Icon icon) {
    prompts.push_back({"message", std::string(title), std::string(text), buttons, icon});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return default_answer(buttons);
}

namespace {
std::string take(std::deque<std::string>& queue) {
    if (queue.empty()) return {};
    std::string s = std::move(queue.front());
    queue.pop_front();
    return s;
}
} // namespace

std::string ScriptedHost::choose_open_file(std::string_view title, std::string_view default_name,
                                           std::string_view filter) {
    prompts.push_back(
        {"open", std::string(title), std::string(default_name) + "|" + std::string(filter)});
    return take(files);
}

std::string ScriptedHost::choose_save_file(std::string_view title, std::string_view default_name,
                                           std::string_view filter) {
    prompts.push_back(
        {"save", std::string(title), std::string(default_name) + "|" + std::string(filter)});
    return take(files);
}

std::string ScriptedHost::choose_folder(std::string_view title, std::string_view start_folder) {
    prompts.push_back({"folder", std::string(title), std::string(start_folder)});
    return take(files);
}

std::optional<std::string> ScriptedHost::ask_text(std::string_view title, std::string_view prompt,
                                                  std::string_view initial) {
    prompts.push_back(
        {"text", std::string(title), std::string(prompt) + "|" + std::string(initial)});
    if (texts.empty()) return std::nullopt;
    auto t = texts.front();
    texts.pop_front();
    return t;
}

void ScriptedHost::set_progress(std::string_view text) {
    progress.emplace_back(text);
}
void ScriptedHost::console_open(std::string_view title) {
    console.push_back("open:" + std::string(title));
}
void ScriptedHost::console_line(std::string_view line) {
    console.emplace_back(line);
}
void ScriptedHost::console_wait_for_key(std::string_view prompt) {
    console.push_back("key:" + std::string(prompt));
}
void ScriptedHost::console_close() {
    console.emplace_back("close");
}

std::vector<std::string> ScriptedHost::messages() const {
    std::vector<std::string> out;
    for (const Prompt& p : prompts)
        if (p.kind == "message") out.push_back(p.title + ": " + p.text);
    return out;
}

namespace {
// Paths are UTF-8 text (on Windows too, where std::filesystem reads narrow text otherwise in
// the system's code page).
std::filesystem::path utf8_path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}
} // namespace

TempDir::TempDir() {
#ifdef _WIN32
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::string folder = temp_folder() + "orvel-test-" + std::to_string(::_getpid()) +
                                   "-" + std::to_string(counter++);
        std::error_code ec;
        if (std::filesystem::create_directory(utf8_path(folder), ec)) path_ = folder + "\\";
    }
    if (path_.empty()) std::abort();
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "orvel-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern + "/";
#endif
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(utf8_path(path_), ec);
}

std::string native(std::string path) {
    std::replace(path.begin(), path.end(), '/', path_separator);
    return path;
}

std::string TempDir::file(const std::string& name) const {
    std::string path = path_ + name;
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(path_.size()), path.end(), '/',
                 path_separator);
    return path;
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const std::string path = file(name);
    const std::filesystem::path p = utf8_path(path);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return path;
}

std::string read_all(const std::string& path) {
    return read_file(path, no_size_limit).value_or("");
}

std::string fixture(const std::string& name) {
    return std::string(ORVEL_FIXTURES_DIR) + "/" + name;
}

} // namespace orvel::test
