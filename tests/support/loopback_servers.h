// Real HTTP and FTP servers on 127.0.0.1 for tests: each one is a child process started on a
// free port and stopped by its PID when the object goes away.
#pragma once

#include "support/scratch.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace kivtest {

// A free TCP port on 127.0.0.1 (nothing listens on it when this returns).
int free_loopback_port();

class ServerProcess {
public:
    ServerProcess() = default;
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;
    ~ServerProcess();

    int port() const { return port_; }
    // True once the server accepts connections.
    bool running() const { return pid_ > 0 && ready_; }

protected:
    // Starts argv (argv[0] is a path) on port_, then waits until the port accepts connections.
    void start(const std::vector<std::string> &argv);
    int port_ = free_loopback_port();

private:
    pid_t pid_ = -1;
    bool ready_ = false;
};

// Python's http.server serving `dir`.
class HttpServer : public ServerProcess {
public:
    explicit HttpServer(const std::string &dir);
    std::string url(const std::string &path) const;
};

// pyftpdlib serving `dir` to anonymous users; `writable` lets them store files.
// With a user name, only that user (with `password`) may log in.
class FtpServer : public ServerProcess {
public:
    FtpServer(const std::string &dir, bool writable, const std::string &user = "",
              const std::string &password = "");
    std::string url(const std::string &path) const;
};

// An HTTP server that announces `announced` bytes, sends only `sent` of them and hangs up.
class CutShortServer : public ServerProcess {
public:
    CutShortServer(int announced, int sent);
    std::string url(const std::string &path) const;
};

// Python's HTTP server behind TLS with the given certificate and key (PEM files).
class HttpsServer : public ServerProcess {
public:
    HttpsServer(const std::string &dir, const std::string &cert, const std::string &key);
    std::string url(const std::string &path) const;
};

} // namespace kivtest
