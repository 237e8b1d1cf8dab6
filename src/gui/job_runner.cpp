#include "gui/job_runner.h"

#include "gui/qt_host.h"

#include <QApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvel::gui {

namespace {

std::atomic<int> job_count{0};

// The host the work gets. Everything it does on the window's side runs there, by calls queued
// to a receiver that lives on the window thread; none touches a widget from the worker.
class WorkerHost final : public Host {
  public:
    WorkerHost(QtHost& host, QObject* receiver) : host_(host), receiver_(receiver) {}

    Answer message(std::string_view title, std::string_view text, Buttons buttons,
                   Icon icon) override {
        return ask([&] { return host_.message(title, text, buttons, icon); });
    }
    std::string choose_open_file(std::string_view title, std::string_view default_name,
                                 std::string_view filter) override {
        return ask([&] { return host_.choose_open_file(title, default_name, filter); });
    }
    std::string choose_save_file(std::string_view title, std::string_view default_name,
                                 std::string_view filter) override {
        return ask([&] { return host_.choose_save_file(title, default_name, filter); });
    }
    std::string choose_folder(std::string_view title, std::string_view start_folder) override {
        return ask([&] { return host_.choose_folder(title, start_folder); });
    }
    std::optional<std::string> ask_text(std::string_view title, std::string_view prompt,
                                        std::string_view initial) override {
        return ask([&] { return host_.ask_text(title, prompt, initial); });
    }
    void set_progress(std::string_view text) override {
        post([this, text = std::string(text)] { host_.set_progress(text); });
    }
    void set_progress_count(std::uint64_t done, std::uint64_t total) override {
        post([this, done, total] { host_.set_progress_count(done, total); });
    }
    void keep_alive() override {
        if (!lines_.empty() && clock::now() - batch_began_ >= batch_time) send_lines(false);
    }
    void console_open(std::string_view title) override {
        post([this, title = std::string(title)] { host_.console_open(title); });
    }
    void console_line(std::string_view line) override {
        if (lines_.empty()) batch_began_ = clock::now();
        lines_.emplace_back(line);
        // While the window thread is behind, only what the console would keep is held.
        if (lines_.size() > ConsoleWindowLimit) {
            lines_.pop_front();
            ++dropped_;
        }
        keep_alive();
    }
    // The worker waits until the key is pressed (or the console closed, or the job asked to
    // stop); the window thread goes on meanwhile.
    void console_wait_for_key(std::string_view prompt) override {
        auto pressed = std::make_shared<KeyWait>();
        post([this, pressed, prompt = std::string(prompt)] {
            host_.console_ask_key(prompt, [pressed] {
                {
                    const std::lock_guard lock(pressed->mutex);
                    pressed->done = true;
                }
                pressed->condition.notify_all();
            });
        });
        std::unique_lock lock(pressed->mutex);
        pressed->condition.wait(lock, [&] { return pressed->done; });
    }
    void console_close() override {
        post([this] { host_.console_close(); });
    }
    bool stop_requested() override { return host_.stop_requested(); }

    // The last lines, once the work has ended.
    void finish() { send_lines(true); }

  private:
    using clock = std::chrono::steady_clock;
    static constexpr auto batch_time = std::chrono::milliseconds(40);
    static constexpr std::size_t ConsoleWindowLimit = QtHost::console_line_limit;

    struct KeyWait {
        std::mutex mutex;
        std::condition_variable condition;
        bool done = false;
    };

    template <typename Call> auto ask(const Call& call) -> decltype(call()) {
        send_lines(true);
        decltype(call()) answer{};
        QMetaObject::invokeMethod(
            receiver_, [&] { answer = call(); }, Qt::BlockingQueuedConnection);
        return answer;
    }

    // Every other report goes after the lines before it.
    template <typename Call> void post(Call&& call) {
        send_lines(true);
        QMetaObject::invokeMethod(receiver_, std::forward<Call>(call), Qt::QueuedConnection);
    }

    // A batch is sent when it is old enough and the window thread has taken the ones before
    // (at most two wait in its queue), or always when forced.
    void send_lines(bool force) {
        if (lines_.empty() && dropped_ == 0) return;
        if (!force && in_flight_->load() >= 2) return;
        ++*in_flight_;
        QMetaObject::invokeMethod(
            receiver_,
            [this, in_flight = in_flight_,
             lines = std::vector<std::string>(lines_.begin(), lines_.end()), dropped = dropped_] {
                host_.console_lines(lines, dropped);
                --*in_flight;
            },
            Qt::QueuedConnection);
        lines_.clear();
        dropped_ = 0;
    }

    QtHost& host_;
    QObject* receiver_;
    std::deque<std::string> lines_;
    std::uint64_t dropped_ = 0;
    clock::time_point batch_began_;
    std::shared_ptr<std::atomic<int>> in_flight_ = std::make_shared<std::atomic<int>>(0);
};

struct Job {
    QObject* receiver = new QObject; // on the window thread; deleted there once done
    std::unique_ptr<WorkerHost> host;
    std::thread worker;
};

} // namespace

int running_jobs() {
    return job_count.load();
}

void start_job(QtHost& host, std::function<void(Host& worker)> work,
               std::function<void(std::exception_ptr failure)> done) {
    ++job_count;
    host.clear_stop();
    auto* job = new Job;
    job->host = std::make_unique<WorkerHost>(host, job->receiver);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    job->worker = std::thread([job, work = std::move(work), done = std::move(done)]() mutable {
        std::exception_ptr failure;
        try {
            // What the work holds is let go here, before the window thread hears of its end.
            auto running = std::move(work);
            running(*job->host);
        } catch (...) {
            failure = std::current_exception();
        }
        job->host->finish();
        // Queued after every report of the work, so they have all been shown when it runs.
        QMetaObject::invokeMethod(
            job->receiver,
            [job, failure, done = std::move(done)] {
                job->worker.join();
                QApplication::restoreOverrideCursor();
                --job_count;
                job->receiver->deleteLater();
                delete job;
                if (done) done(failure);
            },
            Qt::QueuedConnection);
    });
}

void run_as_job(Host& host, std::function<void(Host& worker)> work,
                std::function<void(std::exception_ptr failure)> done) {
    if (auto* desktop = dynamic_cast<QtHost*>(&host)) {
        start_job(*desktop, std::move(work), std::move(done));
        return;
    }
    std::exception_ptr failure;
    try {
        work(host);
    } catch (...) {
        failure = std::current_exception();
    }
    if (done) done(failure);
}

void on_thread_of(QObject* context, const std::function<void()>& call) {
    if (QThread::currentThread() == context->thread())
        call();
    else
        QMetaObject::invokeMethod(context, call, Qt::BlockingQueuedConnection);
}

} // namespace orvel::gui
