// Streams over HTTP(S) and FTP URLs, and the download cache behind them.
//
// The downloading readers fetch the whole file into the cache directory "QELCache" under the
// temporary directory when they are made, remember the URL in a process-wide lookup table
// and then read the local copy; the next reader of the same URL reads that copy without a
// download. The table is emptied by message 15 (MSG_DROP_CACHED_LOOKUPS).
#pragma once

#include <kivctrl/qel_localfile.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_stream.h>
#include <kivctrl/qel_url.h>

#include <memory>
#include <string>

namespace kiv::platform {
class NetDownload;
class NetUpload;
} // namespace kiv::platform

// Error values of the Internet streams besides 0: the transfer library's code, those below
// being the ones to expect, or one of the values of the cache itself.
enum : int {
    QEL_NET_END_OF_DATA = -1,
    QEL_NET_UNSUPPORTED_SCHEME = 1,
    QEL_NET_NO_CONNECTION = 7,
    QEL_NET_CUT_SHORT = 18,         // fewer bytes arrived than the server announced
    QEL_NET_ERROR_STATUS = 22,      // the HTTP server answered with a status of 400 or more
    QEL_NET_UNTRUSTED_SERVER = 60,  // the server's certificate did not verify
    QEL_NET_LOGIN_DENIED = 67,
    QEL_NET_NO_REMOTE_FILE = 78,    // FTP reply 550
    QEL_NET_DISK_FULL = 112,
    QEL_NET_OUT_OF_MEMORY = static_cast<int>(0x8007000E),
};

// A reader of the local copy of a downloaded URL.
class QelCachedInternetReader : public QelFileReaderImp {
public:
    ~QelCachedInternetReader() override;
    QelCachedInternetReader(const QelCachedInternetReader &) = delete;
    QelCachedInternetReader &operator=(const QelCachedInternetReader &) = delete;

    // 0 when the local copy is open and no read has failed.
    int error() override;
    int readch() override;
    int unreadch(int c) override;
    unsigned long readb(char *buf, unsigned long n) override;
    bool iseof() override;
    int seek(long offset, Origin origin) override;
    long tell() override;
    // Always null: the copy is narrow text.
    unsigned short *read(unsigned short *buf, unsigned long n) override;
    // A line, as LocalFileReader reads it.
    char *read(char *buf, unsigned long n) override;

    // The local copy's file name, "" when there is none.
    const char *getCacheFileName() const { return cache_file_.c_str(); }

protected:
    explicit QelCachedInternetReader(const char *url);
    // Fetches the URL into the cache unless the lookup table knows it, then opens the copy.
    // FTP type A (`ascii`) turns the CR LF line ends of the wire into LF.
    void download(QelInternetFileScheme expected, bool ascii);

    QelUrl url_;

private:
    int fetch(const std::string &key, bool ascii);
    int sync();

    std::unique_ptr<LocalFileReader> local_;
    std::string cache_file_;
};

// http:// and https:// URLs (port 80 and 443 unless the URL names one; certificates are
// verified). An error status from the server is a failed download.
class QelCachedHttpReader : public QelCachedInternetReader {
public:
    explicit QelCachedHttpReader(const char *url);
};

// ftp:// URLs (port 21 unless the URL names one), with the URL's user name and password.
class QelCachedFtpReader : public QelCachedInternetReader {
public:
    QelCachedFtpReader(const char *url, bool binary);

private:
    bool binary_;
};

// Reads an HTTP(S) response body as it arrives, without the cache. Not made by the stream
// factory. seek and tell are not possible (-1).
class QelHttpReader : public QelFileReaderImp {
public:
    // Connects and sends the request; error() is set when that or the response failed.
    explicit QelHttpReader(const char *url);
    ~QelHttpReader() override;
    QelHttpReader(const QelHttpReader &) = delete;
    QelHttpReader &operator=(const QelHttpReader &) = delete;

    using QelFileReaderImp::read;
    int readch() override;
    // Puts c back in front of the buffered bytes; -1 at the start of the buffer.
    int unreadch(int c) override;
    bool iseof() override;
    int seek(long offset, Origin origin) override;
    long tell() override;
    // Exactly n bytes; null, with error value -1, when fewer arrived.
    char *read(char *buf, unsigned long n) override;

private:
    bool refill();

    QelUrl url_;
    std::unique_ptr<kiv::platform::NetDownload> response_;
    char buffer_[1024];
    unsigned long pos_ = 0;
    unsigned long valid_ = 0;
};

// Writes a file to an FTP server; each write is sent at once. The server's verdict on the
// whole file comes when the writer is closed: call close() to hear it.
class QelFtpWriter : public QelFileWriterImp {
public:
    QelFtpWriter(const char *url, bool binary);
    // Closes the remote file when close() was not called.
    ~QelFtpWriter() override;
    QelFtpWriter(const QelFtpWriter &) = delete;
    QelFtpWriter &operator=(const QelFtpWriter &) = delete;

    // These return the error value: 0 on success, the transfer library's code otherwise.
    // Wide characters go out as two bytes each, low byte first.
    int write(const unsigned short *s) override;
    int write(const char *s) override;
    int write(unsigned short c) override;
    int write(char c) override;
    // Returns n when the bytes were sent, 0 otherwise.
    unsigned long writeb(const char *buf, unsigned long n) override;
    // Ends the remote file and returns the error value, 0 when the server kept the file.
    int close();

private:
    int send(const char *bytes, unsigned long n);

    QelUrl url_;
    std::unique_ptr<kiv::platform::NetUpload> upload_;
};

// For an HTTP(S) or FTP name: the local cache file of its download (fetched now when the
// lookup table does not know it yet, FTP in binary mode). "" for every other name, a failed
// download and a name longer than QEL_PATH_MAX - 1. out holds QEL_PATH_MAX bytes. Returns out.
char *pathname_get_cachename(const char *name, char *out);
