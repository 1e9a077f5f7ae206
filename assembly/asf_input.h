// The text of an assembly file, held in memory and read by the token rules of its text form
// (KEYWORD ( body )) or its tag form (<KEYWORD>body</KEYWORD>).
//
// Every read is bounded by the text: nothing here reads past its end, nests by recursion or
// keeps more than a fixed number of characters of one word or value.
#pragma once

#include <kivctrl/qel_stream.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kiv::asf {

enum class TokenKind {
    Record,     // a word followed by its opening parenthesis (text) or an opening tag
    WordClose,  // text form: a word followed by ')', which is consumed with it
    Word,       // tag form: text outside any tag
    Close,      // ')' or a closing tag
    Open,       // '(' where a word was expected
    End,        // the end of the text
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string word;  // at most kWordMax characters, without whitespace
    bool too_long = false;
};

// Also a reader stream, so that readers of other subsystems (task records) read the same text.
class Input final : public QelFileReaderImp {
public:
    static constexpr std::size_t kWordMax = 255;
    static constexpr std::size_t kValueMax = 255;

    Input(std::string text, bool tags);

    bool tags() const { return tags_; }
    Token next();
    // A value body: the characters up to the closing ')' (tag form: up to '<', then the
    // closing tag), whitespace and '(' dropped, at most kValueMax kept; the close is consumed.
    std::string value();
    // A value in its own parentheses, in either form: "(1, 0, 0)" gives "1,0,0". Empty,
    // consuming nothing, when the next thing is not '('.
    std::string parenthesised();
    // One text token (bare up to a delimiter, or quoted with '^' escapes), the delimiter left
    // unread; at most max characters are kept, cut at a character boundary.
    std::string string_token(std::size_t max);
    // Skips whitespace; consumes c when it comes next.
    bool take(char c);
    // Whether the next character after whitespace is c (nothing consumed).
    bool next_is(char c);
    // The rest of a body up to and including its closing ')' or closing tag.
    void finish_body();
    // A whole body with everything nested in it, its close included.
    void skip_body();
    // Where skip_body would stop, and the position of the close it would consume.
    std::size_t body_end(std::size_t *close_at);
    // Whether only whitespace and comments are left.
    bool only_blank_left();

    std::size_t position() const { return pos_; }
    void set_position(std::size_t p) { pos_ = p < text_.size() ? p : text_.size(); }
    // Streams reading this text see its end at `limit`.
    void set_limit(std::size_t limit) { end_ = limit < text_.size() ? limit : text_.size(); }
    void clear_limit() { end_ = text_.size(); }

    int readch() override;
    int unreadch(int c) override;
    bool iseof() override { return pos_ >= end_; }
    int seek(long offset, Origin origin) override;
    long tell() override { return static_cast<long>(pos_); }

private:
    bool at_end() const { return pos_ >= end_; }
    int peek() const { return at_end() ? -1 : static_cast<unsigned char>(text_[pos_]); }
    void skip_space();
    // Skips whitespace, ';' comments (text form) and <!-- --> or <? ?> (tag form).
    void skip_blank();
    void skip_line();
    void skip_quoted();
    void skip_past(std::string_view what);
    Token next_text();
    Token next_tag();
    std::string read_tag_name(bool *too_long);

    std::string text_;
    std::size_t pos_ = 0;
    std::size_t end_;
    bool tags_;
};

} // namespace kiv::asf
