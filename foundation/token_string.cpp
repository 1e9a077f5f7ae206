#include <kivctrl/qel_token.h>

#include "foundation/token_codec.h"

#include <cstring>
#include <string_view>

namespace {

std::string_view text_of(const char *s, int len)
{
    if (!s)
        return {};
    return {s, len > 0 ? static_cast<std::size_t>(len) : std::strlen(s)};
}

class TextSource : public kiv::token::Source {
public:
    explicit TextSource(std::string_view text) : text_(text) {}
    int get() override
    {
        return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_++]) : -1;
    }
    void unget(int) override
    {
        if (pos_ > 0)
            --pos_;
    }
    std::size_t position() const { return pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

int qel_quotestring(char *out, int size, const char *s, int len)
{
    return kiv::token::store(kiv::token::encode(text_of(s, len)), out, size);
}

int qel_unquotestring(char *out, int size, const char **rest, const char *delims, const char *s,
                      int len)
{
    const std::string_view text = text_of(s, len);
    TextSource src(text);
    const kiv::token::Decoded token = kiv::token::decode(src, delims);
    if (rest) {
        const std::size_t end = src.position() - token.trailing_space;
        *rest = end < text.size() ? s + end : nullptr;
    }
    return kiv::token::store(token.text, out, size);
}
