// The seam through which the Internet streams join the stream factories: the module that
// implements HTTP and FTP streams installs its constructors here. Until it does, HTTP and
// FTP names give streams that failed to open.
#pragma once

class QelFileReader;
class QelFileWriter;

struct QelInternetStreamMakers {
    QelFileReader *(*http_reader)(const char *url) = nullptr;
    QelFileReader *(*ftp_reader)(const char *url, bool binary) = nullptr;
    QelFileWriter *(*ftp_writer)(const char *url, bool binary) = nullptr;
};

// Installs the makers; a null entry keeps HTTP or FTP failing for that direction.
void qel_set_internet_stream_makers(const QelInternetStreamMakers &makers);
