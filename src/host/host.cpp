#include "host/host.h"

namespace orvel {

Host::~Host() = default;

void Host::set_progress_count(std::uint64_t, std::uint64_t) {}

bool Host::stop_requested() {
    return false;
}

void Host::run_job(const std::function<void(Host& progress)>& job) {
    job(*this);
}

Answer SilentHost::message(std::string_view, std::string_view, Buttons buttons, Icon) {
    return default_answer(buttons);
}
std::string SilentHost::choose_open_file(std::string_view, std::string_view, std::string_view) {
    return {};
}
std::string SilentHost::choose_save_file(std::string_view, std::string_view, std::string_view) {
    return {};
}
std::string SilentHost::choose_folder(std::string_view, std::string_view) {
    return {};
}
std::optional<std::string> SilentHost::ask_text(std::string_view, std::string_view,
                                                std::string_view) {
    return std::nullopt;
}
void SilentHost::set_progress(std::string_view) {}
void SilentHost::keep_alive() {}
void SilentHost::console_open(std::string_view) {}
void SilentHost::console_line(std::string_view) {}
void SilentHost::console_wait_for_key(std::string_view) {}
void SilentHost::console_close() {}

Answer ForwardingHost::message(std::string_view title, std::string_view text, Buttons buttons,
                               Icon icon) {
    return inner_.message(title, text, buttons, icon);
}
std::string ForwardingHost::choose_open_file(std::string_view title, std::string_view default_name,
                                             std::string_view filter) {
    return inner_.choose_open_file(title, default_name, filter);
}
std::string ForwardingHost::choose_save_file(std::string_view title, std::string_view default_name,
                                             std::string_view filter) {
    return inner_.choose_save_file(title, default_name, filter);
}
std::string ForwardingHost::choose_folder(std::string_view title, std::string_view start_folder) {
    return inner_.choose_folder(title, start_folder);
}
std::optional<std::string> ForwardingHost::ask_text(std::string_view title, std::string_view prompt,
                                                    std::string_view initial) {
    return inner_.ask_text(title, prompt, initial);
}
void ForwardingHost::set_progress(std::string_view text) {
    inner_.set_progress(text);
}
void ForwardingHost::keep_alive() {
    inner_.keep_alive();
}
void ForwardingHost::set_progress_count(std::uint64_t done, std::uint64_t total) {
    inner_.set_progress_count(done, total);
}
void ForwardingHost::console_open(std::string_view title) {
    inner_.console_open(title);
}
void ForwardingHost::console_line(std::string_view line) {
    inner_.console_line(line);
}
void ForwardingHost::console_wait_for_key(std::string_view prompt) {
    inner_.console_wait_for_key(prompt);
}
void ForwardingHost::console_close() {
    inner_.console_close();
}
bool ForwardingHost::stop_requested() {
    return inner_.stop_requested();
}

} // namespace orvel
