// HTTP(S) and FTP transfers over libcurl, driven step by step by the caller: a download hands
// out the body as it arrives, an upload sends each block as it is written.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace kiv::platform {

// Error values of a transfer: 0 for success, otherwise libcurl's CURLcode.
// These are the ones callers test for.
inline constexpr int net_ok = 0;
inline constexpr int net_unsupported_protocol = 1;
inline constexpr int net_cannot_connect = 7;
inline constexpr int net_partial_file = 18;
inline constexpr int net_http_error = 22; // the server answered with a status of 400 or more
inline constexpr int net_peer_failed_verification = 60;
inline constexpr int net_login_denied = 67;
inline constexpr int net_remote_file_not_found = 78;

struct NetOptions {
    std::string user_agent;
    bool ascii = false; // FTP: transfer type A instead of I
};

class NetDownload {
public:
    // Connects and sends the request at once; error() tells whether that worked.
    NetDownload(const std::string &url, const NetOptions &options);
    ~NetDownload();
    NetDownload(const NetDownload &) = delete;
    NetDownload &operator=(const NetDownload &) = delete;

    // Waits until body bytes are at hand or the transfer has ended. Returns how many bytes
    // the next read() can take at once; 0 means the body is complete (or error() is set).
    std::size_t available();
    // Takes up to n bytes of what available() announced; may wait for more.
    std::size_t read(char *dst, std::size_t n);
    int error() const;
    // HTTP status or FTP reply code of the last response, 0 before any.
    long response_code() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

class NetUpload {
public:
    // Connects and opens the remote file for writing; error() tells whether that worked.
    NetUpload(const std::string &url, const NetOptions &options);
    // Ends the file (as finish() does) when that was not done yet.
    ~NetUpload();
    NetUpload(const NetUpload &) = delete;
    NetUpload &operator=(const NetUpload &) = delete;

    // Sends n bytes now; returns the error value (0 when the server took them).
    int write(const char *src, std::size_t n);
    // Ends the file and waits for the server's verdict; returns the error value.
    int finish();
    int error() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace kiv::platform
