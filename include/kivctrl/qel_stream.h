// Reader and writer streams: the byte-level interface through which the engine reads and
// writes every file, and the factories that choose a stream from the form of a name.
//
// Streams never throw: each keeps an error value that callers test after an operation.
// The order of the virtual operations is part of the interface plug-ins build against;
// append, never reorder.
#pragma once

// The kind of stream a name denotes (pathname_get_type).
enum FILE_TYPE {
    FILE_TYPE_UNKNOWN = 0,
    FILE_TYPE_LOCAL = 1,
    FILE_TYPE_HTTP = 2,
    FILE_TYPE_FTP = 3,
    FILE_TYPE_MEMORY = 4,
};

class QelFileReader {
public:
    enum Origin { Begin = 0, Current = 1, End = 2 };

    virtual ~QelFileReader() = default;
    // 0 while all is well; non-zero after a failed open or a read past the end.
    virtual int error() = 0;
    // Next byte as 0..255, or -1 at the end (error value set).
    virtual int readch() = 0;
    // Pushes one character back; -1 when that is not possible.
    virtual int unreadch(int c) = 0;
    // Reads up to n raw bytes; returns the number read.
    virtual unsigned long readb(char *buf, unsigned long n) = 0;
    virtual int supports_wide_input() = 0;
    virtual bool iseof() = 0;
    virtual int seek(long offset, Origin origin) = 0;
    // Current position, -1 when unknown.
    virtual long tell() = 0;
    // Two bytes, the first one the high byte; returns the error value after the read.
    virtual int readchar(unsigned short &c) = 0;
    virtual int readbyte(char &c) = 0;
    virtual int readchar(char &c) = 0;
    // Numbers written as text: 0 on success, 1 on failure (target unchanged).
    virtual int readshort(short &v) = 0;
    virtual int readushort(unsigned short &v) = 0;
    virtual int readint(int &v) = 0;
    virtual int readuint(unsigned int &v) = 0;
    virtual int readlong(long &v) = 0;
    virtual int readulong(unsigned long &v) = 0;
    virtual int readfloat(float &v) = 0;
    virtual int readdouble(double &v) = 0;
    // n items, each one byte widened; null on error.
    virtual unsigned short *read(unsigned short *buf, unsigned long n) = 0;
    // Text read whose form depends on the stream (a word, a line or n raw bytes); null on error.
    virtual char *read(char *buf, unsigned long n) = 0;
};

class QelFileWriter {
public:
    // Flushes and closes.
    virtual ~QelFileWriter() = default;
    virtual int error() = 0;
    // Wide string, each character narrowed as the stream defines.
    virtual int write(const unsigned short *s) = 0;
    // String without its terminator.
    virtual int write(const char *s) = 0;
    virtual int write(unsigned short c) = 0;
    virtual int write(char c) = 0;
    // Raw bytes; returns the number written.
    virtual unsigned long writeb(const char *buf, unsigned long n) = 0;
    // printf-style text; returns the formatted length, -1 when it had to be cut.
    [[gnu::format(printf, 2, 3)]] virtual int writef(const char *format, ...) = 0;
    virtual int writeln() = 0;
    [[gnu::format(printf, 2, 3)]] virtual int writefln(const char *format, ...) = 0;
    // s as a text token (qel_writestring).
    virtual int writestring(const char *s) = 0;
    virtual int supports_wide_output() = 0;
};

class QelFileRemover {
public:
    virtual ~QelFileRemover() = default;
    // Non-zero when the named thing was removed.
    virtual int remove() = 0;
};

// Default bodies in terms of readch, unreadch and error; derived readers keep their
// error value in err_.
class QelFileReaderImp : public QelFileReader {
public:
    int error() override;
    unsigned long readb(char *buf, unsigned long n) override;
    int supports_wide_input() override;
    int readchar(unsigned short &c) override;
    int readbyte(char &c) override;
    int readchar(char &c) override;
    int readshort(short &v) override;
    int readushort(unsigned short &v) override;
    int readint(int &v) override;
    int readuint(unsigned int &v) override;
    int readlong(long &v) override;
    int readulong(unsigned long &v) override;
    int readfloat(float &v) override;
    int readdouble(double &v) override;
    unsigned short *read(unsigned short *buf, unsigned long n) override;
    // Exactly n bytes, no terminator.
    char *read(char *buf, unsigned long n) override;

protected:
    int err_ = 0;
};

// Default bodies of writeb, writef, writeln, writefln and writestring; derived writers keep
// their error value in err_.
class QelFileWriterImp : public QelFileWriter {
public:
    int error() override;
    unsigned long writeb(const char *buf, unsigned long n) override;
    [[gnu::format(printf, 2, 3)]] int writef(const char *format, ...) override;
    int writeln() override;
    [[gnu::format(printf, 2, 3)]] int writefln(const char *format, ...) override;
    int writestring(const char *s) override;
    int supports_wide_output() override;

protected:
    int err_ = 0;
};

// The kind of stream name denotes: without ':' a local file; otherwise by URL scheme
// (ftp, http, file), "MEM:" for a memory file, anything else unknown.
FILE_TYPE pathname_get_type(const char *name);

// Bit 1 of the factory flags: open in binary mode.
constexpr int QEL_STREAM_BINARY = 2;

// A reader for name; null only when memory runs out. A stream that failed to open comes
// back with its error value set. The caller owns the stream and deletes it to close it.
QelFileReader *QelCreateReaderInstance(const char *name, int flags);
// A writer for name; null for HTTP names (they cannot be written) and when memory runs out.
QelFileWriter *QelCreateWriterInstance(const char *name, int flags);
// A remover for a memory-file name, null for every other name.
QelFileRemover *QelCreateRemoverInstance(const char *name);
