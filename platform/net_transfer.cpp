#include "platform/net_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace kiv::platform {

namespace {

// Body bytes held while the caller is not reading; beyond this the transfer pauses.
constexpr std::size_t max_buffered = 256 * 1024;
constexpr long connect_timeout_s = 30;
// A transfer that moves less than one byte a second for this long is given up.
constexpr long stall_timeout_s = 60;

void ensure_global_init()
{
    static const CURLcode rc = curl_global_init(CURL_GLOBAL_DEFAULT);
    (void)rc;
}

// One easy handle inside its own multi handle, so that the caller decides when it advances.
class Driver {
public:
    Driver(const std::string &url, const NetOptions &options)
    {
        ensure_global_init();
        multi_ = curl_multi_init();
        easy_ = curl_easy_init();
        if (!multi_ || !easy_) {
            finish(CURLE_OUT_OF_MEMORY);
            return;
        }
        curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy_, CURLOPT_USERAGENT, options.user_agent.c_str());
        curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
        curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(easy_, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT, connect_timeout_s);
        curl_easy_setopt(easy_, CURLOPT_TRANSFERTEXT, options.ascii ? 1L : 0L);
    }

    ~Driver()
    {
        if (easy_) {
            if (added_)
                curl_multi_remove_handle(multi_, easy_);
            curl_easy_cleanup(easy_);
        }
        if (multi_)
            curl_multi_cleanup(multi_);
    }

    Driver(const Driver &) = delete;
    Driver &operator=(const Driver &) = delete;

    CURL *easy() const { return easy_; }
    bool done() const { return done_; }
    int result() const { return result_; }

    void start()
    {
        if (done_)
            return;
        if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
            finish(CURLE_FAILED_INIT);
            return;
        }
        added_ = true;
    }

    void resume()
    {
        if (!done_)
            curl_easy_pause(easy_, CURLPAUSE_CONT);
    }

    // Advances the transfer until `ready` holds or it has ended.
    void run_until(const std::function<bool()> &ready)
    {
        while (!done_ && !ready()) {
            int running = 0;
            if (curl_multi_perform(multi_, &running) != CURLM_OK) {
                finish(CURLE_FAILED_INIT);
                break;
            }
            collect();
            if (done_ || ready())
                break;
            curl_multi_poll(multi_, nullptr, 0, 100, nullptr);
        }
    }

    long response_code() const
    {
        long code = 0;
        if (easy_)
            curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &code);
        return code;
    }

private:
    void collect()
    {
        int queued = 0;
        while (CURLMsg *msg = curl_multi_info_read(multi_, &queued)) {
            if (msg->msg == CURLMSG_DONE)
                finish(msg->data.result);
        }
    }

    void finish(int result)
    {
        done_ = true;
        result_ = result;
    }

    CURLM *multi_ = nullptr;
    CURL *easy_ = nullptr;
    bool added_ = false;
    bool done_ = false;
    int result_ = 0;
};

} // namespace

struct NetDownload::State {
    State(const std::string &url, const NetOptions &options) : driver(url, options) {}

    static std::size_t on_body(char *data, std::size_t size, std::size_t count, void *self)
    {
        auto *s = static_cast<State *>(self);
        if (s->buffered() >= max_buffered) {
            s->paused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        s->buffer.append(data, size * count);
        return size * count;
    }

    std::size_t buffered() const { return buffer.size() - taken; }

    Driver driver;
    std::string buffer;
    std::size_t taken = 0;
    bool paused = false;
};

NetDownload::NetDownload(const std::string &url, const NetOptions &options)
    : state_(std::make_unique<State>(url, options))
{
    Driver &d = state_->driver;
    if (!d.done()) {
        curl_easy_setopt(d.easy(), CURLOPT_WRITEFUNCTION, &State::on_body);
        curl_easy_setopt(d.easy(), CURLOPT_WRITEDATA, state_.get());
        // Only for downloads: an upload waits as long as its writer takes between blocks.
        curl_easy_setopt(d.easy(), CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(d.easy(), CURLOPT_LOW_SPEED_TIME, stall_timeout_s);
    }
    d.start();
    // Connecting, the request and the response headers happen here, so that a refused
    // connection or an error status shows in error() right after construction.
    d.run_until([this] { return state_->buffered() > 0; });
}

NetDownload::~NetDownload() = default;

std::size_t NetDownload::available()
{
    State &s = *state_;
    if (s.buffered() == 0) {
        s.buffer.clear();
        s.taken = 0;
        if (s.paused) {
            s.paused = false;
            s.driver.resume();
        }
        s.driver.run_until([&s] { return s.buffered() > 0; });
    }
    if (s.driver.done() && s.driver.result() != 0)
        return 0;
    return s.buffered();
}

std::size_t NetDownload::read(char *dst, std::size_t n)
{
    std::size_t got = 0;
    while (got < n) {
        const std::size_t ready = available();
        if (ready == 0)
            break;
        const std::size_t chunk = std::min(ready, n - got);
        std::memcpy(dst + got, state_->buffer.data() + state_->taken, chunk);
        state_->taken += chunk;
        got += chunk;
    }
    return got;
}

int NetDownload::error() const
{
    return state_->driver.done() ? state_->driver.result() : 0;
}

long NetDownload::response_code() const
{
    return state_->driver.response_code();
}

struct NetUpload::State {
    State(const std::string &url, const NetOptions &options) : driver(url, options) {}

    static std::size_t on_send(char *dst, std::size_t size, std::size_t count, void *self)
    {
        auto *s = static_cast<State *>(self);
        const std::size_t left = s->outgoing.size() - s->sent;
        if (left == 0) {
            if (s->ending)
                return 0;
            s->waiting = true;
            return CURL_READFUNC_PAUSE;
        }
        const std::size_t chunk = std::min(left, size * count);
        std::memcpy(dst, s->outgoing.data() + s->sent, chunk);
        s->sent += chunk;
        return chunk;
    }

    Driver driver;
    std::string outgoing;
    std::size_t sent = 0;
    bool waiting = false; // the server is ready and curl waits for our next block
    bool ending = false;
};

NetUpload::NetUpload(const std::string &url, const NetOptions &options)
    : state_(std::make_unique<State>(url, options))
{
    Driver &d = state_->driver;
    if (!d.done()) {
        curl_easy_setopt(d.easy(), CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(d.easy(), CURLOPT_READFUNCTION, &State::on_send);
        curl_easy_setopt(d.easy(), CURLOPT_READDATA, state_.get());
        // Type A carries line ends as CR LF on the wire.
        curl_easy_setopt(d.easy(), CURLOPT_CRLF, options.ascii ? 1L : 0L);
    }
    d.start();
    d.run_until([this] { return state_->waiting; });
}

NetUpload::~NetUpload()
{
    finish();
}

int NetUpload::write(const char *src, std::size_t n)
{
    State &s = *state_;
    if (s.driver.done() || s.ending)
        return error() ? error() : net_partial_file;
    s.outgoing.assign(src, n);
    s.sent = 0;
    s.waiting = false;
    s.driver.resume();
    s.driver.run_until([&s] { return s.waiting; });
    return error();
}

int NetUpload::finish()
{
    State &s = *state_;
    if (!s.ending) {
        s.ending = true;
        s.outgoing.clear();
        s.sent = 0;
        s.driver.resume();
        s.driver.run_until([] { return false; });
    }
    return error();
}

int NetUpload::error() const
{
    return state_->driver.done() ? state_->driver.result() : 0;
}

} // namespace kiv::platform
