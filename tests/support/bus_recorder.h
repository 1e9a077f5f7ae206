// A message-bus listener for tests: it is registered for as long as it lives and keeps the
// messages it was asked for, in arrival order. Loads send from worker threads, so it locks.
#pragma once

#include <kivctrl/qel_msg.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace kivtest {

struct BusMessage {
    short code;
    void *data;
    std::intptr_t n;
    // Message 5: its format and argument texts, copied on arrival.
    std::string format;
    std::vector<std::string> args;
    // What the recorder's note made of the message on arrival (payloads may not outlive it).
    std::string note;
    std::thread::id thread;

    // Message 5's text with its arguments put in for "%1" and "%2".
    std::string text() const
    {
        std::string out = format;
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string mark = '%' + std::to_string(i + 1);
            if (const size_t at = out.find(mark); at != std::string::npos)
                out.replace(at, mark.size(), args[i]);
        }
        return out;
    }
};

// The codes from first to last, for a recorder of a family of messages.
inline std::function<bool(short)> codes_between(short first, short last)
{
    return [first, last](short c) { return c >= first && c <= last; };
}

class BusRecorder final : public MsgHandlerImp {
public:
    using Wanted = std::function<bool(short)>;
    using Note = std::function<std::string(short, void *, std::intptr_t)>;

    // Keeps every message.
    BusRecorder() : BusRecorder(Wanted{}, Note{}) {}
    // Keeps the messages with these codes.
    explicit BusRecorder(std::set<short> codes, Note note = {})
        : BusRecorder([codes = std::move(codes)](short c) { return codes.count(c) > 0; },
                      std::move(note))
    {
    }
    // Keeps the messages with this code.
    explicit BusRecorder(short code, Note note = {})
        : BusRecorder([code](short c) { return c == code; }, std::move(note))
    {
    }
    // Keeps the messages that wanted accepts (see codes_between).
    explicit BusRecorder(Wanted wanted, Note note = {})
        : wanted_(std::move(wanted)), note_(std::move(note))
    {
        msg_handler_register(this);
    }
    ~BusRecorder() override { msg_handler_unregister(this); }
    BusRecorder(const BusRecorder &) = delete;
    BusRecorder &operator=(const BusRecorder &) = delete;

    const char *name() override { return "test bus recorder"; }
    int handle(short code, void *data, std::intptr_t n) override
    {
        if (wanted_ && !wanted_(code))
            return 0;
        BusMessage m{code, data, n, {}, {}, {}, std::this_thread::get_id()};
        if (code == MSG_ERROR && data) {
            const auto *e = static_cast<const ESD_MESSAGE *>(data);
            m.format = e->format ? e->format : "";
            for (std::intptr_t i = 0; i < n && i < 5; ++i)
                m.args.emplace_back(e->args[i] ? e->args[i] : "");
        }
        if (note_)
            m.note = note_(code, data, n);
        std::lock_guard lock(mutex_);
        messages_.push_back(std::move(m));
        return 0;
    }

    std::vector<BusMessage> messages() const
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }
    int count(short code) const
    {
        std::lock_guard lock(mutex_);
        return static_cast<int>(std::count_if(messages_.begin(), messages_.end(),
                                              [code](const BusMessage &m) { return m.code == code; }));
    }
    // Code and payload of each message.
    std::vector<std::pair<short, void *>> entries() const
    {
        return collect<std::pair<short, void *>>([](const BusMessage &m) {
            return std::pair{m.code, m.data};
        });
    }
    // Code and integer argument of each message.
    std::vector<std::pair<int, int>> codes_and_counts() const
    {
        return collect<std::pair<int, int>>([](const BusMessage &m) {
            return std::pair{int(m.code), static_cast<int>(m.n)};
        });
    }
    // Texts of the error reports (message 5), arguments put in.
    std::vector<std::string> error_texts() const
    {
        std::vector<std::string> out;
        for (const BusMessage &m : messages())
            if (m.code == MSG_ERROR)
                out.push_back(m.text());
        return out;
    }
    // Formats of the error reports (message 5), as sent.
    std::vector<std::string> error_formats() const
    {
        std::vector<std::string> out;
        for (const BusMessage &m : messages())
            if (m.code == MSG_ERROR)
                out.push_back(m.format);
        return out;
    }
    // How many error reports (message 5) had this format.
    int errors_with(std::string_view format) const
    {
        const std::vector<std::string> all = error_formats();
        return static_cast<int>(std::count(all.begin(), all.end(), format));
    }

private:
    template <typename T, typename F>
    std::vector<T> collect(F f) const
    {
        std::lock_guard lock(mutex_);
        std::vector<T> out;
        out.reserve(messages_.size());
        for (const BusMessage &m : messages_)
            out.push_back(f(m));
        return out;
    }

    Wanted wanted_;
    Note note_;
    mutable std::mutex mutex_;
    std::vector<BusMessage> messages_;
};

} // namespace kivtest
