// The tokens of the text part format: whitespace-separated numbers, keyword lines and the
// header line, read from a stream with line numbers for error messages. CR, LF and CR LF
// all end a line, so files written with either line end read alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class QelFileReader;

class KvgLexer {
public:
    // Longest keyword or header line, its line end included, and longest number.
    static constexpr std::size_t kMaxLine = 100;

    explicit KvgLexer(QelFileReader &in) : in_(in) {}

    // The first line: "KVG Version 1.1" or "KVG Version 1.2".
    void header();
    float real(const char *what);
    // An integer in min..max.
    long long integer(const char *what, long long min, long long max);
    // The rest of the current line (blanks only) is passed over, then blank lines; the next
    // line comes back without its surrounding blanks (its line end is left for the next read).
    std::string keyword_line(const char *what);
    // Nothing but blanks may follow.
    void end();

    // Text from the file as it may appear in a message: quoted, short and printable.
    static std::string shown(std::string_view text);
    // Throws a PartFileError naming the current line.
    [[noreturn]] void fail(std::string_view why) const;

private:
    int get();
    int peek();
    // Consumes a line end starting with c (CR LF counts once); false for other characters.
    bool line_end(int c);
    std::string token(const char *what);
    // The current line up to its line end, which is left unread.
    std::string line(const char *what);

    QelFileReader &in_;
    char buf_[4096];
    std::size_t pos_ = 0, len_ = 0;
    bool eof_ = false;
    long line_ = 1;
};
