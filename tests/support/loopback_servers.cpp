#include "support/loopback_servers.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

extern char **environ;

namespace kivtest {

namespace {

// Debian's interpreter, which has pyftpdlib; the one first on PATH may not.
const char *const python = "/usr/bin/python3";

sockaddr_in loopback(int port)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

bool accepts_connections(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_in addr = loopback(port);
    const bool ok = connect(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

const char *const cut_short_script = R"(
import socket, sys
port, announced, sent = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
srv = socket.socket()
srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
srv.bind(("127.0.0.1", port))
srv.listen(8)
while True:
    conn, _ = srv.accept()
    request = b""
    while b"\r\n\r\n" not in request:
        chunk = conn.recv(4096)
        if not chunk:
            break
        request += chunk
    head = "HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % announced
    conn.sendall(head.encode() + b"x" * sent)
    conn.close()
)";

const char *const https_script = R"(
import functools, http.server, ssl, sys
port, root, cert, key = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=root)
srv = http.server.HTTPServer(("127.0.0.1", port), handler)
ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
ctx.load_cert_chain(cert, key)
srv.socket = ctx.wrap_socket(srv.socket, server_side=True)
srv.serve_forever()
)";

} // namespace

int free_loopback_port()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr = loopback(0);
    socklen_t len = sizeof addr;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
        throw std::runtime_error("no free loopback port");
    close(fd);
    return ntohs(addr.sin_port);
}

ServerProcess::~ServerProcess()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

void ServerProcess::start(const std::vector<std::string> &argv)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);

    // The servers log every request; keep the test output readable.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        return;
    }
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::seconds(20);
    while (clock::now() < deadline) {
        if (accepts_connections(port_)) {
            ready_ = true;
            return;
        }
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

HttpServer::HttpServer(const std::string &dir)
{
    start({python, "-m", "http.server", "--bind", "127.0.0.1", "--directory", dir,
           std::to_string(port_)});
}

std::string HttpServer::url(const std::string &path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

FtpServer::FtpServer(const std::string &dir, bool writable, const std::string &user,
                     const std::string &password)
{
    std::vector<std::string> argv{python, "-m", "pyftpdlib", "-i", "127.0.0.1",
                                  "-p", std::to_string(port_), "-d", dir};
    if (writable)
        argv.push_back("-w");
    if (!user.empty()) {
        argv.insert(argv.end(), {"-u", user, "-P", password});
    }
    start(argv);
}

std::string FtpServer::url(const std::string &path) const
{
    return "ftp://127.0.0.1:" + std::to_string(port_) + path;
}

HttpsServer::HttpsServer(const std::string &dir, const std::string &cert, const std::string &key)
{
    start({python, "-c", https_script, std::to_string(port_), dir, cert, key});
}

std::string HttpsServer::url(const std::string &path) const
{
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

CutShortServer::CutShortServer(int announced, int sent)
{
    start({python, "-c", cut_short_script, std::to_string(port_), std::to_string(announced),
           std::to_string(sent)});
}

std::string CutShortServer::url(const std::string &path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

} // namespace kivtest
