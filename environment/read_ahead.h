// Reading the next part files on a few threads while the background loader works through
// its list, so that files are read and parsed while earlier parts are being put in place.
#pragma once

#include "assembly/loader_parallel.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kiv::env {

class ReadAhead {
public:
    using Options = std::optional<std::string>;  // none: the loader gets no parameters

    // Reads on up to `threads` threads, started when the first read is asked for.
    explicit ReadAhead(unsigned threads);
    // Drops what has not begun, waits for what has, and deletes what nobody took.
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // Queues a read of (file, options) with the given factories; once per file and options.
    void ask(const std::string &file, const Options &options,
             std::vector<LoaderFactory *> factories);
    bool asked(const std::string &file, const Options &options);
    // The read of (file, options): done now on the calling thread when it has not begun,
    // awaited when under way. Nothing when it was never asked for.
    std::optional<assembly::ParallelRead> take(const std::string &file,
                                               const Options &options);
    // Reads asked for and not yet taken.
    std::size_t outstanding();

private:
    using Key = std::pair<std::string, Options>;
    enum class State { queued, reading, done };
    struct Job {
        State state = State::queued;
        std::vector<LoaderFactory *> factories;
        assembly::ParallelRead result;
    };

    void serve();

    std::mutex mutex_;
    std::condition_variable work_, finished_;
    std::map<Key, Job> jobs_;
    std::deque<Key> queue_;
    std::vector<std::thread> threads_;
    unsigned max_threads_;
    bool closing_ = false;
};

}  // namespace kiv::env
