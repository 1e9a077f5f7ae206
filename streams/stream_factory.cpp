// Choosing a stream from the form of a name.
#include <kivctrl/qel_localfile.h>
#include <kivctrl/qel_memfile.h>
#include <kivctrl/qel_stream.h>

#include "streams/internet_streams.h"

#include <memory>
#include <new>

namespace {

// Stands in for a stream whose kind is not available: it failed to open.
class UnavailableReader final : public QelFileReaderImp {
public:
    UnavailableReader() { err_ = 1; }
    int readch() override { return -1; }
    int unreadch(int) override { return -1; }
    bool iseof() override { return true; }
    int seek(long, Origin) override { return -1; }
    long tell() override { return -1; }
};

class UnavailableWriter final : public QelFileWriterImp {
public:
    UnavailableWriter() { err_ = 1; }
    int write(const unsigned short *) override { return 1; }
    int write(const char *) override { return 1; }
    int write(unsigned short) override { return 1; }
    int write(char) override { return 1; }
};

QelInternetStreamMakers &internet_makers()
{
    static QelInternetStreamMakers makers;
    return makers;
}

bool is_binary(int flags)
{
    return (flags & QEL_STREAM_BINARY) != 0;
}

} // namespace

void qel_set_internet_stream_makers(const QelInternetStreamMakers &makers)
{
    internet_makers() = makers;
}

QelFileReader *QelCreateReaderInstance(const char *name, int flags)
{
    const QelInternetStreamMakers &net = internet_makers();
    try {
        switch (pathname_get_type(name)) {
        case FILE_TYPE_HTTP:
            if (net.http_reader)
                return net.http_reader(name);
            return std::make_unique<UnavailableReader>().release();
        case FILE_TYPE_FTP:
            if (net.ftp_reader)
                return net.ftp_reader(name, is_binary(flags));
            return std::make_unique<UnavailableReader>().release();
        case FILE_TYPE_MEMORY:
            return std::make_unique<QelMemFileReader>(name).release();
        default:
            return std::make_unique<LocalFileReader>(name, is_binary(flags)).release();
        }
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

QelFileWriter *QelCreateWriterInstance(const char *name, int flags)
{
    const QelInternetStreamMakers &net = internet_makers();
    try {
        switch (pathname_get_type(name)) {
        case FILE_TYPE_HTTP:
            return nullptr;
        case FILE_TYPE_FTP:
            if (net.ftp_writer)
                return net.ftp_writer(name, is_binary(flags));
            return std::make_unique<UnavailableWriter>().release();
        case FILE_TYPE_MEMORY:
            return std::make_unique<QelMemFileWriter>(name).release();
        default:
            return std::make_unique<LocalFileWriter>(name, is_binary(flags)).release();
        }
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

QelFileRemover *QelCreateRemoverInstance(const char *name)
{
    if (pathname_get_type(name) != FILE_TYPE_MEMORY)
        return nullptr;
    try {
        return std::make_unique<QelMemFileRemover>(name).release();
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
