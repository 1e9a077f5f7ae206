#include "assembly/asf_input.h"

#include "foundation/token_codec.h"

#include <utility>

namespace kiv::asf {

namespace {

bool is_space(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Cuts text to at most max bytes without splitting a UTF-8 sequence.
void cut(std::string &text, std::size_t max)
{
    if (text.size() <= max)
        return;
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    text.resize(n);
}

class InputSource final : public kiv::token::Source {
public:
    explicit InputSource(Input &in) : in_(in) {}
    int get() override { return in_.readch(); }
    void unget(int c) override { in_.unreadch(c); }

private:
    Input &in_;
};

} // namespace

Input::Input(std::string text, bool tags) : text_(std::move(text)), end_(text_.size()), tags_(tags)
{
}

void Input::skip_space()
{
    while (!at_end() && is_space(peek()))
        ++pos_;
}

void Input::skip_line()
{
    while (!at_end() && text_[pos_] != '\n')
        ++pos_;
}

void Input::skip_past(std::string_view what)
{
    const std::size_t found = std::string_view(text_).substr(0, end_).find(what, pos_);
    pos_ = found == std::string_view::npos ? end_ : found + what.size();
}

// At an opening quote: to just after the closing one; '^' escapes the next character.
void Input::skip_quoted()
{
    ++pos_;
    while (!at_end()) {
        const char c = text_[pos_++];
        if (c == '"')
            return;
        if (c == '^' && !at_end())
            ++pos_;
    }
}

void Input::skip_blank()
{
    for (;;) {
        skip_space();
        if (at_end())
            return;
        const std::string_view rest = std::string_view(text_).substr(pos_, end_ - pos_);
        if (!tags_ && rest.front() == ';')
            skip_line();
        else if (tags_ && rest.starts_with("<!--"))
            skip_past("-->");
        else if (tags_ && rest.starts_with("<?"))
            skip_past("?>");
        else
            return;
    }
}

bool Input::only_blank_left()
{
    skip_blank();
    return at_end();
}

Token Input::next()
{
    return tags_ ? next_tag() : next_text();
}

// Whitespace separates nothing: a word is every other character up to '(' or ')'.
Token Input::next_text()
{
    Token t;
    skip_blank();
    if (at_end())
        return t;
    const char first = text_[pos_];
    if (first == '(' || first == ')') {
        ++pos_;
        t.kind = first == '(' ? TokenKind::Open : TokenKind::Close;
        return t;
    }
    while (!at_end()) {
        const char c = text_[pos_];
        if (c == '(' || c == ')')
            break;
        ++pos_;
        if (is_space(static_cast<unsigned char>(c)))
            continue;
        if (t.word.size() < kWordMax)
            t.word.push_back(c);
        else
            t.too_long = true;
    }
    if (at_end())
        return Token{};
    t.kind = text_[pos_++] == '(' ? TokenKind::Record : TokenKind::WordClose;
    return t;
}

// After '<': the name up to '>', whitespace dropped; the '>' is consumed.
std::string Input::read_tag_name(bool *too_long)
{
    std::string name;
    while (!at_end()) {
        const char c = text_[pos_++];
        if (c == '>')
            return name;
        if (is_space(static_cast<unsigned char>(c)))
            continue;
        if (name.size() < kWordMax)
            name.push_back(c);
        else
            *too_long = true;
    }
    return name;
}

Token Input::next_tag()
{
    Token t;
    skip_blank();
    if (at_end())
        return t;
    const char first = text_[pos_];
    if (first == '(' || first == ')') {
        ++pos_;
        t.kind = first == '(' ? TokenKind::Open : TokenKind::Close;
        return t;
    }
    if (first != '<') {
        while (!at_end() && text_[pos_] != '<') {
            if (t.word.size() < kWordMax)
                t.word.push_back(text_[pos_]);
            ++pos_;
        }
        t.kind = TokenKind::Word;
        return t;
    }
    ++pos_;
    skip_space();
    if (!at_end() && (text_[pos_] == '(' || text_[pos_] == ')')) {
        t.kind = text_[pos_++] == '(' ? TokenKind::Open : TokenKind::Close;
        return t;
    }
    const bool closed_by_gt = [&] {
        t.word = read_tag_name(&t.too_long);
        return pos_ > 0 && text_[pos_ - 1] == '>';
    }();
    if (!closed_by_gt)
        return Token{};
    if (!t.word.empty() && t.word.front() == '/') {
        t.kind = TokenKind::Close;
        t.word.erase(0, 1);
    } else {
        t.kind = t.word.empty() ? TokenKind::Word : TokenKind::Record;
    }
    return t;
}

std::string Input::value()
{
    std::string v;
    const char stop = tags_ ? '<' : ')';
    while (!at_end()) {
        const char c = text_[pos_++];
        if (c == stop)
            break;
        if (is_space(static_cast<unsigned char>(c)) || c == '(')
            continue;
        if (v.size() < kValueMax)
            v.push_back(c);
    }
    if (tags_ && pos_ > 0 && text_[pos_ - 1] == '<')
        skip_past(">");
    return v;
}

std::string Input::parenthesised()
{
    std::string v;
    if (!take('('))
        return v;
    while (!at_end()) {
        const char c = text_[pos_++];
        if (c == ')')
            break;
        if (!is_space(static_cast<unsigned char>(c)) && v.size() < kValueMax)
            v.push_back(c);
    }
    return v;
}

std::string Input::string_token(std::size_t max)
{
    InputSource src(*this);
    std::string text = kiv::token::decode(src, tags_ ? "<,()" : "(),").text;
    cut(text, max);
    return text;
}

bool Input::take(char c)
{
    skip_space();
    if (peek() != static_cast<unsigned char>(c))
        return false;
    ++pos_;
    return true;
}

bool Input::next_is(char c)
{
    skip_space();
    return peek() == static_cast<unsigned char>(c);
}

void Input::finish_body()
{
    if (tags_) {
        while (!at_end() && text_[pos_] != '<')
            ++pos_;
        skip_past(">");
        return;
    }
    while (!at_end() && text_[pos_] != ')')
        ++pos_;
    if (!at_end())
        ++pos_;
}

std::size_t Input::body_end(std::size_t *close_at)
{
    const std::size_t start = pos_;
    std::size_t depth = 1;
    std::size_t close = end_;
    while (!at_end() && depth > 0) {
        const char c = text_[pos_];
        if (c == '"') {
            skip_quoted();
        } else if (tags_ && c == '<') {
            close = pos_;
            ++pos_;
            bool too_long = false;
            const std::string name = read_tag_name(&too_long);
            if (name.starts_with("!--")) {
                if (!name.ends_with("--"))
                    skip_past("-->");
            } else if (name.starts_with("/")) {
                --depth;
            } else if (!name.starts_with("?")) {
                ++depth;
            }
        } else if (!tags_ && c == ';') {
            skip_line();
        } else {
            ++pos_;
            if (!tags_ && c == '(') {
                ++depth;
            } else if (!tags_ && c == ')') {
                close = pos_ - 1;
                --depth;
            }
        }
    }
    const std::size_t stop = pos_;
    if (depth > 0)
        close = end_;
    pos_ = start;
    if (close_at)
        *close_at = close;
    return stop;
}

void Input::skip_body()
{
    pos_ = body_end(nullptr);
}

int Input::readch()
{
    if (at_end()) {
        err_ = 1;
        return -1;
    }
    err_ = 0;
    return static_cast<unsigned char>(text_[pos_++]);
}

int Input::unreadch(int c)
{
    if (c < 0 || pos_ == 0)
        return -1;
    --pos_;
    return c;
}

int Input::seek(long offset, Origin origin)
{
    const long base = origin == Begin ? 0 : origin == Current ? static_cast<long>(pos_)
                                                              : static_cast<long>(end_);
    const long target = base + offset;
    if (target < 0 || target > static_cast<long>(end_))
        return -1;
    pos_ = static_cast<std::size_t>(target);
    return 0;
}

} // namespace kiv::asf
